#include "diagnostic/prediction.h"

#include <sys/stat.h>
#include <windows.h>

#include <cstring>

#include "cmdline/classpath.h"
#include "diag/debug_log.h"
#include "diag/failure_report.h"
#include "diagnostic/captured_log.h"
#include "diagnostic/report.h"
#include "launch/bounded_text.h"
#include "launch/child_command.h"
#include "launch/launch_settings.h"
#include "launch/launch_state.h"
#include "launch/preparation.h"
#include "runtime/registry_search.h"
#include "runtime/version_order.h"

// Every step of the search, kept so that a runtime accepted and later replaced can say so.
struct KeptStep {
  SearchStep step;
  uint32_t flags;
  long error;
  bool replaced;
  char keyPath[pathSize];
  char name[pathSize];
  char path[pathSize];
};
constexpr size_t maxSteps = 512;
static KeptStep steps[maxSteps];
static size_t stepCount;
static bool stepsLeftOut;

static void keepStep(const SearchEvent& event) {
  if (stepCount == maxSteps) {
    stepsLeftOut = true;
    return;
  }
  if (event.step == SearchStep::accepted)
    for (size_t i = 0; i < stepCount; ++i)
      if (steps[i].step == SearchStep::accepted) steps[i].replaced = true;
  KeptStep& kept = steps[stepCount++];
  kept = KeptStep{event.step, event.flags, event.error, false, {}, {}, {}};
  copyText(kept.keyPath, event.keyPath);
  copyText(kept.name, event.name);
  copyText(kept.path, event.path);
}

// The system's sentence for a registry or Windows error code, without its line end.
static void appendSystemError(Text& text, long code) {
  appendText(text, "error ");
  appendDecimal(text, static_cast<uint32_t>(code));
  char message[512];
  DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                                static_cast<DWORD>(code), 0, message, sizeof message, nullptr);
  while (length > 0 &&
         (message[length - 1] == '\r' || message[length - 1] == '\n' || message[length - 1] == ' '))
    --length;
  if (length == 0) return;
  appendText(text, ", \"");
  appendText(text, std::string_view(message, length));
  appendChar(text, '"');
}

static const char* viewName(uint32_t flags) {
  return (flags & runtimeView64) ? "vista de 64 bits" : "vista de 32 bits";
}

static void reportStep(const KeptStep& kept, const char* bestBefore) {
  char line[2048];
  Text text = textOver(line);
  switch (kept.step) {
  case SearchStep::searchKeyOpened:
    appendText(text, "HKLM\\");
    appendText(text, kept.keyPath);
    appendText(text, " (");
    appendText(text, viewName(kept.flags));
    appendText(text, "): ");
    if (kept.error == ERROR_SUCCESS)
      appendText(text, "se mira");
    else if (kept.error == ERROR_FILE_NOT_FOUND)
      appendText(text, "no existe");
    else {
      appendText(text, "no se ha podido leer, ");
      appendSystemError(text, kept.error);
    }
    break;
  case SearchStep::listingEnded:
    if (kept.error == ERROR_NO_MORE_ITEMS) return;
    appendText(text, "  La lista de versiones se corta aqu\xED (");
    appendSystemError(text, kept.error);
    appendText(text, "): Vendro no mira las que siguen");
    if (kept.error == ERROR_MORE_DATA)
      appendText(text, "; una clave tiene un nombre de 260 caracteres o m\xE1s");
    break;
  default:
    appendText(text, "  ");
    appendText(text, kept.name);
    appendText(text, ": ");
    switch (kept.step) {
    case SearchStep::belowMinimum:
      appendText(text, "menor que la m\xEDnima, ");
      appendText(text, settings::minJavaVersion);
      appendText(text, ": no la usa");
      break;
    case SearchStep::notAboveBest:
      appendText(text, "no es mayor que ");
      appendText(text, bestBefore);
      appendText(text, ", aceptada antes: no la usa");
      break;
    case SearchStep::nameTooLong:
      appendText(text, "nombre o ruta de la clave demasiado largos: no la usa");
      break;
    case SearchStep::keyUnreadable:
      appendText(text, "no se ha podido abrir la clave (");
      appendSystemError(text, kept.error);
      appendText(text, "): no la usa");
      break;
    case SearchStep::noJavaHome:
      if (kept.error == ERROR_FILE_NOT_FOUND) {
        appendText(text, "no tiene el valor JavaHome: no la usa");
      } else {
        appendText(text, "no se ha podido leer JavaHome (");
        appendSystemError(text, kept.error);
        appendText(text, "): no la usa");
      }
      break;
    case SearchStep::homeTooLong:
      appendText(text, "JavaHome");
      if (kept.flags & runtimeKindJdk) appendText(text, " con su carpeta jre");
      appendText(text, " no cabe en 259 caracteres: no la usa");
      break;
    case SearchStep::noJavaLauncher:
      if (kept.path[0] == '\0') {
        appendText(text, "JavaHome est\xE1 vac\xEDo: no la usa");
      } else {
        appendText(text, "no existe ");
        appendText(text, kept.path);
        appendText(text, ": no la usa");
      }
      break;
    case SearchStep::launcherTooLong:
      appendText(text, "la ruta de javaw.exe no cabe en 259 caracteres: no la busca");
      break;
    case SearchStep::accepted:
      appendText(text, kept.replaced ? "la acepta (" : "la acepta: ");
      appendText(text, kept.path);
      if (kept.replaced) appendText(text, "), pero despu\xE9s la cambia por una mayor");
      break;
    default:
      break;
    }
  }
  reportLine(textView(text));
}

// The version keys of a search key the launcher never opens on this desk, named as such.
static void reportKeysNotLookedAt(const char* searchKeyPath, uint32_t flags, const char* why) {
  HKEY key;
  REGSAM view = KEY_READ | ((flags & runtimeView64) ? KEY_WOW64_64KEY : KEY_WOW64_32KEY);
  long error = RegOpenKeyExA(HKEY_LOCAL_MACHINE, searchKeyPath, 0, view, &key);
  if (error != ERROR_SUCCESS) return; // absent or unreadable: nothing the launcher misses
  char line[1024];
  Text text = textOver(line);
  appendText(text, "HKLM\\");
  appendText(text, searchKeyPath);
  appendText(text, " (");
  appendText(text, viewName(flags));
  appendText(text, "): no se mira, ");
  appendText(text, why);
  reportLine(textView(text));
  for (DWORD index = 0;; ++index) {
    char name[pathSize];
    DWORD nameSize = sizeof name;
    if (RegEnumKeyExA(key, index, name, &nameSize, nullptr, nullptr, nullptr, nullptr) !=
        ERROR_SUCCESS)
      break;
    reportFormat("  %s: no se mira", name);
  }
  RegCloseKey(key);
}

static bool scanned(const char* searchKeyPath, uint32_t flags) {
  for (size_t i = 0; i < stepCount; ++i)
    if (steps[i].step == SearchStep::searchKeyOpened && steps[i].flags == flags &&
        strcmp(steps[i].keyPath, searchKeyPath) == 0)
      return true;
  return false;
}

static void reportSearch() {
  reportHeading("Java en el Registro, como lo busca Vendro");
  char best[pathSize] = "";
  for (size_t i = 0; i < stepCount; ++i) {
    reportStep(steps[i], best);
    if (steps[i].step == SearchStep::accepted) copyText(best, steps[i].name);
  }
  if (stepsLeftOut) reportLine("  (Hay m\xE1s pasos de los que caben en el informe.)");
  struct {
    const char* key;
    int32_t kind;
  } const searchKeys[] = {
      {settings::javaSoftKitKey, runtimeKindJdk},
      {settings::javaSoftRuntimeKey, runtimeKindJre},
      {settings::ibmKitKey, runtimeKindJdk},
      {settings::ibmRuntimeKey, runtimeKindJre},
  };
  for (const auto& search : searchKeys) {
    for (uint32_t view : {0u, static_cast<uint32_t>(runtimeView64)}) {
      if (view && !state.underWow64) continue; // 32-bit Windows has one view
      uint32_t flags = static_cast<uint32_t>(search.kind) | view;
      if (scanned(search.key, flags)) continue;
      // A key left out in its 32-bit view too was never reached: the JavaSoft keys gave a Java.
      bool neverReached = !scanned(search.key, static_cast<uint32_t>(search.kind));
      reportKeysNotLookedAt(search.key, flags,
                            neverReached
                                ? "porque las claves de JavaSoft ya le han dado un Java"
                                : "porque ya tiene un Java de la vista de 32 bits, que prefiere");
    }
  }
}

// The SWT jar the launcher puts on the class path, and whether it is there.
static void reportSwtJar(const char* launcherPath, size_t folderLength) {
  char jar[pathSize];
  Text path = textOver(jar);
  bool fits =
      composeSwtPath(path, std::string_view(launcherPath, folderLength), state.bestRuntimeFlags);
  struct _stat64i32 status;
  bool present = fits && _stat64i32(jar, &status) == 0;
  reportField("Biblioteca SWT", jar);
  if (!present)
    reportLine("  No est\xE1 en la carpeta: la aplicaci\xF3n no podr\xE1 abrir sus ventanas.");
}

static void reportBox() {
  reportHeading("Vendro no arrancar\xE1 Java");
  reportLine("Un arranque mostrar\xED"
             "a este mensaje:");
  reportField("  T\xEDtulo", state.failureTitle);
  reportLine("  Texto:");
  reportRaw("    ");
  std::string_view text = state.failureText;
  for (size_t start = 0; start <= text.size();) {
    size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    std::string_view piece = slice(text, start, end - start);
    if (!piece.empty() && piece.back() == '\r') piece = slice(piece, 0, piece.size() - 1);
    reportLine(piece);
    if (end < text.size()) reportRaw("    ");
    start = end + 1;
  }
  if (state.failureUrl[0] != '\0') reportField("Despu\xE9s abre", state.failureUrl);
  for (size_t i = 0; i < stepCount; ++i) {
    long error = steps[i].error;
    bool unread = steps[i].step == SearchStep::searchKeyOpened
                      ? error != ERROR_SUCCESS && error != ERROR_FILE_NOT_FOUND
                      : steps[i].step == SearchStep::listingEnded && error != ERROR_NO_MORE_ITEMS;
    if (unread) {
      reportLine(
          "Ojo: hay claves que Vendro no ha podido leer (arriba). Puede haber un Java ah\xED "
          "que Vendro no ve: no quiere decir que no haya Java.");
      break;
    }
  }
}

void reportPrediction(const char* launcherPath, size_t folderLength) {
  clearCapturedLog();
  copyText(state.failureTitle, settings::initialFailureTitle);
  state.bestRuntimeFlags = 0;
  state.badRuntimeSeen = 0;
  logStartHeader(settings::debugSwitch, launcherPath);
  detectWow64();
  writeFailureDefaults();
  searchWatcher = keepStep;
  int ready = prepareJavaStart(launcherPath, folderLength);
  searchWatcher = nullptr;
  DWORD code = GetLastError();

  static char commandLine[argsSize];
  Text line = textOver(commandLine);
  if (ready && !composeChildCommandLine(line, state.javaExePath, state.javaArgs)) {
    ready = 0; // the launcher refuses to start Java with a cut command line
    code = ERROR_FILENAME_EXCED_RANGE;
  }
  reportSearch();
  if (ready) {
    reportHeading("Qu\xE9 Java usar\xE1 Vendro");
    reportFormat("Vendro usar\xE1 Java %s, de %s bits.", state.bestJavaVersion,
                 (state.bestRuntimeFlags & runtimeView64) ? "64" : "32");
    reportField("Programa", state.javaExePath);
    reportSwtJar(launcherPath, folderLength);
    reportHeading("Qu\xE9 ejecutar\xED"
                  "a Vendro");
    reportLine("L\xEDnea de \xF3rdenes de Java, entera y tal cual, en la l\xEDnea siguiente:");
    appendText(reportText(), textView(line));
    appendText(reportText(), "\r\n");
    reportFormat("(%u caracteres de 32767)", static_cast<unsigned>(line.length));
    char folder[pathSize] = "";
    GetCurrentDirectoryA(pathSize, folder);
    reportField("Carpeta de trabajo", folder);
    reportFormat("Path: se le a\xF1"
                 "ade %s\\bin al final",
                 state.runtimeHome);
    reportLine("Prioridad: alta");
    reportLine("Las referencias a variables de entorno (%NOMBRE%) se han expandido con el entorno "
               "de este programa, el mismo que tiene Vendro.exe cuando se abre con doble clic "
               "desde el escritorio.");
  } else {
    SetLastError(code);
    completeFailureText();
    reportBox();
  }
  reportHeading("L\xEDneas que escribir\xED"
                "a en pelmorin.log");
  reportLine("(hasta el arranque de Java, con --pmr-debug o con Pelmorin=debug)");
  reportRaw(capturedLog());
  reportLine();
}
