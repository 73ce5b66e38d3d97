// The examined folder's files and the debug log beside the launcher.

#include "diagnostic/desk_facts.h"

#include <io.h>
#include <windows.h>

#include <cstdio>

#include "cmdline/options_text.h"
#include "desktop/instance_window.h"
#include "desktop/updater_command.h"
#include "diag/log_path.h"
#include "diagnostic/report.h"
#include "launch/launch_settings.h"
#include "launch/launch_state.h"
#include "launch/system_library.h"
#include "runtime/path_join.h"

// ----- The folder -----

static std::string_view directoryOf(std::string_view path) {
  size_t slash = path.rfind('\\');
  return slash == std::string_view::npos ? std::string_view() : slice(path, 0, slash);
}

// "presente, N bytes", "NO ESTÁ", or why it cannot be told, after `label`.
static void reportPresence(std::string_view label, const Text& path) {
  WIN32_FILE_ATTRIBUTE_DATA facts;
  char line[pathSize + 128];
  Text text = textOver(line);
  appendText(text, label);
  appendText(text, ": ");
  if (path.cut) {
    appendText(text, "ruta demasiado larga");
  } else if (GetFileAttributesExA(path.data, GetFileExInfoStandard, &facts)) {
    if (facts.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      appendText(text, "es una carpeta, no un fichero");
    } else {
      appendText(text, "presente, ");
      appendByteCount(text, (uint64_t(facts.nFileSizeHigh) << 32) | facts.nFileSizeLow);
    }
  } else {
    DWORD error = GetLastError();
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) {
      appendText(text, "NO EST\xC1");
    } else {
      appendText(text, "no se puede mirar (error ");
      appendDecimal(text, error);
      appendChar(text, ')');
    }
  }
  reportLine(textView(text));
}

static void reportLibraryJars(std::string_view directory) {
  char pattern[pathSize];
  Text text = textOver(pattern);
  appendText(text, directory);
  joinPath(text, "lib\\*.jar");
  struct _finddata64i32_t found;
  int count = 0;
  intptr_t listing = text.cut ? -1 : _findfirst64i32(pattern, &found);
  if (listing != -1) {
    do
      ++count;
    while (_findnext64i32(listing, &found) == 0);
    _findclose(listing);
  }
  if (count == 0) {
    reportLine("lib\\*.jar: ninguno");
    return;
  }
  reportFormat("lib\\*.jar: %d, en el orden en que entran en la ruta de clases:", count);
  listing = _findfirst64i32(pattern, &found);
  if (listing == -1) return;
  do
    reportFormat("    %s  (%lu bytes%s)", found.name, static_cast<unsigned long>(found.size),
                 (found.attrib & _A_SUBDIR) ? ", es una carpeta" : "");
  while (_findnext64i32(listing, &found) == 0);
  _findclose(listing);
}

static bool endsWithText(std::string_view name, std::string_view end) {
  if (name.size() < end.size()) return false;
  return namesSameFile(slice(name, name.size() - end.size()), end);
}

// Names like the options file that the launcher does not read: another launcher name's, and
// the ".txt" that Notepad adds where Explorer hides extensions.
static void reportOtherOptionsFiles(std::string_view directory, const char* launcherPath) {
  char optionsPath[pathSize];
  Text options = textOver(optionsPath);
  composeOptionsPath(options, launcherPath);
  std::string_view optionsName = fileNameOf(textView(options));
  char pattern[pathSize];
  Text text = textOver(pattern);
  appendText(text, directory);
  joinPath(text, "*.pmr.ini*");
  struct _finddata64i32_t found;
  intptr_t listing = text.cut ? -1 : _findfirst64i32(pattern, &found);
  int count = 0;
  if (listing != -1) {
    do {
      if ((found.attrib & _A_SUBDIR) || namesSameFile(found.name, optionsName)) continue;
      if (count++ == 0)
        reportFormat("Ficheros de opciones que Vendro NO lee (solo lee %.*s):",
                     int(optionsName.size()), optionsName.data());
      bool hidden = endsWithText(found.name, ".txt");
      reportFormat("    %s  (%lu bytes)%s", found.name, static_cast<unsigned long>(found.size),
                   hidden ? ": si el Explorador oculta las extensiones, lo muestra sin \".txt\""
                          : "");
    } while (_findnext64i32(listing, &found) == 0);
    _findclose(listing);
  }
  if (count == 0)
    reportFormat("Otros *.pmr.ini: ninguno (Vendro lee %.*s)", int(optionsName.size()),
                 optionsName.data());
}

// ----- The debug log -----

constexpr size_t logTailLimit = 64 * 1024;
static char logChunk[logTailLimit + 1];

static size_t readAt(HANDLE file, uint64_t offset, size_t count) {
  LARGE_INTEGER position;
  position.QuadPart = static_cast<LONGLONG>(offset);
  DWORD read = 0;
  if (!SetFilePointerEx(file, position, nullptr, FILE_BEGIN) ||
      !ReadFile(file, logChunk, static_cast<DWORD>(count), &read, nullptr))
    return 0;
  return read;
}

// Where the last line that starts with "Version:" begins; -1 when the log has none in its last
// 32 MB. Chunks overlap so that a line start is always seen with the byte before it.
static int64_t lastStartOffset(HANDLE file, uint64_t size) {
  constexpr std::string_view mark = "Version:";
  uint64_t end = size;
  while (end > 0 && size - end < 32u * 1024 * 1024) {
    uint64_t start = end > logTailLimit ? end - logTailLimit : 0;
    size_t count = readAt(file, start, size_t(end - start));
    std::string_view chunk(logChunk, count);
    for (size_t at = chunk.rfind(mark); at != std::string_view::npos;
         at = at == 0 ? std::string_view::npos : chunk.rfind(mark, at - 1)) {
      if (at > 0 ? chunk[at - 1] == '\n' : start == 0) return int64_t(start + at);
    }
    if (start == 0 || count == 0) break;
    end = start + mark.size();
  }
  return -1;
}

static void reportLogTail(HANDLE file, uint64_t size) {
  int64_t start = lastStartOffset(file, size);
  uint64_t from = start >= 0 ? uint64_t(start) : 0;
  bool cut = size - from > logTailLimit;
  if (cut) from = size - logTailLimit;
  size_t count = readAt(file, from, logTailLimit);
  std::string_view tail(logChunk, count);
  if (cut) tail = slice(tail, tail.find('\n') + 1); // from a whole line on
  for (size_t i = 0; i < count; ++i)
    if (logChunk[i] == '\0') logChunk[i] = ' ';
  if (start < 0)
    reportLine("No tiene ninguna l\xEDnea \"Version:\". Su final:");
  else if (cut)
    reportLine("Su \xFAltimo arranque ocupa m\xE1s de 64 KB; solo van sus \xFAltimos 64 KB:");
  else
    reportLine("Su \xFAltimo arranque, desde la l\xEDnea \"Version:\":");
  reportRaw(tail);
  if (!tail.empty() && tail.back() != '\n') reportLine();
}

static void reportDebugVariable() {
  static char value[argsSize - 1];
  DWORD length = GetEnvironmentVariableA(settings::debugVariable, value, sizeof value);
  if (length == 0 || length >= sizeof value) {
    const char* why = length != 0                                ? "demasiado larga para leerla"
                      : GetLastError() == ERROR_ENVVAR_NOT_FOUND ? "no est\xE1 definida"
                                                                 : "vac\xED"
                                                                   "a";
    reportFormat("Variable %s: %s", settings::debugVariable, why);
    value[0] = '\0';
  } else {
    reportFormat("Variable %s: \"%s\"", settings::debugVariable, value);
  }
  if (containsText(value, settings::debugVariableWord))
    reportFormat("Contiene \"%s\": cada arranque de Vendro escribe el log.",
                 settings::debugVariableWord);
  else
    reportFormat("No contiene \"%s\": solo escriben el log los arranques con %s.",
                 settings::debugVariableWord, settings::debugSwitch);
  // Where it is set for good: a value changed there reaches programs started afterwards.
  struct Place {
    HKEY root;
    const char* key;
    const char* name;
  } places[] = {{HKEY_CURRENT_USER, "Environment", "usuario"},
                {HKEY_LOCAL_MACHINE,
                 "SYSTEM\\CurrentControlSet\\Control\\Session Manager\\Environment", "equipo"}};
  for (const Place& place : places) {
    HKEY key;
    char stored[1024];
    Text text = textOver(stored);
    LONG read = RegOpenKeyExA(place.root, place.key, 0, KEY_READ, &key);
    if (read == ERROR_SUCCESS) {
      read = readRegistryText(key, settings::debugVariable, text);
      RegCloseKey(key);
    }
    if (read == ERROR_SUCCESS) reportFormat("    En el Registro (%s): \"%s\"", place.name, stored);
  }
}

static void reportDebugLog(std::string_view directory) {
  reportHeading("Log de depuraci\xF3n");
  reportDebugVariable();
  char logPath[logPathSize];
  Text path = textOver(logPath);
  if (!composeLogPath(path, directory)) {
    reportLine("pelmorin.log: ruta demasiado larga");
    return;
  }
  HANDLE file =
      CreateFileA(logPath, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    DWORD error = GetLastError();
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND)
      reportLine("No hay pelmorin.log en la carpeta.");
    else
      reportFormat("pelmorin.log: no se puede leer (error %lu)", error);
    return;
  }
  LARGE_INTEGER size{};
  FILETIME written{};
  GetFileSizeEx(file, &size);
  GetFileTime(file, nullptr, nullptr, &written);
  char line[128];
  Text text = textOver(line);
  appendText(text, "pelmorin.log: ");
  appendByteCount(text, static_cast<uint64_t>(size.QuadPart));
  appendText(text, ", modificado el ");
  appendLocalTime(text, written);
  reportLine(textView(text));
  reportLogTail(file, static_cast<uint64_t>(size.QuadPart));
  CloseHandle(file);
}

void reportFolderFiles(const char* launcherPath) {
  reportHeading("Carpeta de Vendro");
  std::string_view directory = directoryOf(launcherPath);
  reportField("Carpeta", directory);
  char path[pathSize];
  Text text = textOver(path);
  appendText(text, launcherPath);
  reportPresence(fileNameOf(launcherPath), text);
  text = textOver(path);
  composeUpdaterPath(text, launcherPath);
  reportPresence(settings::updaterName, text);
  reportLibraryJars(directory);
  const char* swtJars[] = {settings::swtJar32, settings::swtJar64};
  const char* swtUse[] = {" (para Java de 32 bits)", " (para Java de 64 bits)"};
  for (int i = 0; i < 2; ++i) {
    text = textOver(path);
    appendText(text, directory);
    appendText(text, swtJars[i]);
    char label[pathSize];
    Text name = textOver(label);
    appendText(name, slice(swtJars[i], 1));
    appendText(name, swtUse[i]);
    reportPresence(textView(name), text);
  }
  reportOtherOptionsFiles(directory, launcherPath);
  reportDebugLog(directory);
}
