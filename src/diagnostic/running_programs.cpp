// What runs on the desk now: whether the instance name is taken, the launcher, Java and updater
// processes with their windows, and other programs' windows titled like the product. Nothing is
// created: the name is only opened, and closed at once.

#include <windows.h>

#include <tlhelp32.h>

#include "desktop/instance_window.h"
#include "diagnostic/desk_facts.h"
#include "diagnostic/report.h"
#include "launch/launch_settings.h"
#include "launch/launch_state.h"
#include "launch/system_library.h"

#ifndef PROCESS_QUERY_LIMITED_INFORMATION
#define PROCESS_QUERY_LIMITED_INFORMATION 0x1000
#endif

namespace {

void reportInstanceName() {
  // Opened, never created: the diagnostic must not take the name from the next start.
  HANDLE mutex = OpenMutexA(SYNCHRONIZE, FALSE, settings::instanceName);
  DWORD error = GetLastError();
  if (mutex) CloseHandle(mutex);
  const char* meaning = nullptr;
  if (mutex)
    meaning = "ocupado: hay una copia de Vendro en marcha en esta sesi\xF3n";
  else if (error == ERROR_ACCESS_DENIED)
    meaning = "ocupado por una copia arrancada como administrador o con otra cuenta";
  else if (error == ERROR_FILE_NOT_FOUND)
    meaning = "libre";
  else if (error == ERROR_INVALID_HANDLE)
    meaning = "lo tiene otro tipo de objeto, que no es de Vendro (Vendro arranca igualmente)";
  if (meaning)
    reportFormat("Nombre de instancia \"%s\": %s.", settings::instanceName, meaning);
  else
    reportFormat("Nombre de instancia \"%s\": no se sabe (error %lu).", settings::instanceName,
                 error);
}

// A running program of the kinds the report follows.
struct Watched {
  DWORD id;
  int kind; // index into kindNames
};
constexpr size_t maxWatched = 64;
Watched watched[maxWatched];
size_t watchedCount;

// The visible top-level windows, from the top of the Z order.
struct Shown {
  HWND window;
  DWORD processId;
};
constexpr size_t maxShown = 1024;
Shown shown[maxShown];
size_t shownCount;
bool windowsKnown; // user32's functions were bound

uint64_t fileTimeValue(const FILETIME& time) {
  return (static_cast<uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

// "hace 35 s", "hace 12 min", "hace 3 h".
void appendAge(Text& text, uint64_t start) {
  FILETIME nowTime;
  GetSystemTimeAsFileTime(&nowTime);
  uint64_t now = fileTimeValue(nowTime);
  uint64_t seconds = now > start ? (now - start) / 10000000 : 0;
  appendText(text, " (hace ");
  if (seconds < 120) {
    appendDecimal(text, uint32_t(seconds));
    appendText(text, " s)");
  } else if (seconds < 2 * 3600) {
    appendDecimal(text, uint32_t(seconds / 60));
    appendText(text, " min)");
  } else {
    appendDecimal(text, uint32_t(seconds / 3600));
    appendText(text, " h)");
  }
}

// The account a process runs under and whether it is elevated; nothing when its token cannot be
// read (another account's process, an elevated one seen from a normal one).
void reportProcessAccount(HANDLE process) {
  HANDLE token;
  if (!OpenProcessToken(process, TOKEN_QUERY, &token)) {
    reportLine("    Cuenta: no se puede leer (otra cuenta, o arrancado como administrador)");
    return;
  }
  TOKEN_ELEVATION elevation{};
  DWORD size = 0;
  reportRaw("    Cuenta: ");
  if (!reportTokenAccount(token)) reportRaw("?");
  bool elevationKnown =
      GetTokenInformation(token, TokenElevation, &elevation, sizeof elevation, &size);
  CloseHandle(token);
  reportLine(!elevationKnown             ? ""
             : elevation.TokenIsElevated ? ", elevado (como administrador)"
                                         : ", sin elevar");
}

void reportWindowsOf(DWORD processId) {
  if (!windowsKnown) return;
  int count = 0;
  for (size_t i = 0; i < shownCount; ++i) {
    if (shown[i].processId != processId) continue;
    char title[256] = "";
    user32.GetWindowTextA(shown[i].window, title, sizeof title);
    reportFormat("    Ventana: \"%s\"%s", title,
                 user32.IsIconic(shown[i].window) ? " (minimizada)" : "");
    ++count;
  }
  if (count == 0) reportLine("    Ninguna ventana visible.");
}

void reportProcess(const Watched& program, const char* kindName, DWORD ownSession) {
  char line[512];
  Text text = textOver(line);
  appendText(text, kindName);
  appendText(text, ", proceso ");
  appendDecimal(text, program.id);
  DWORD session = ownSession;
  if (ProcessIdToSessionId(program.id, &session)) {
    appendText(text, ", sesi\xF3n ");
    appendDecimal(text, session);
    if (session == ownSession) appendText(text, " (esta)");
  }
  HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, program.id);
  DWORD openError = GetLastError();
  FILETIME created, exited, kernel, user;
  if (process && GetProcessTimes(process, &created, &exited, &kernel, &user)) {
    appendText(text, ", arranc\xF3 el ");
    appendLocalTime(text, created);
    appendAge(text, fileTimeValue(created));
  }
  reportLine(textView(text));
  if (!process) {
    reportFormat("    No se puede abrir (error %lu): otra cuenta, o arrancado como administrador.",
                 openError);
  } else {
    char image[pathSize];
    DWORD length = sizeof image;
    if (QueryFullProcessImageNameA(process, 0, image, &length))
      reportFormat("    Programa: %s", image);
    reportProcessAccount(process);
    CloseHandle(process);
  }
  if (session == ownSession)
    reportWindowsOf(program.id);
  else
    reportLine("    Sus ventanas son de otra sesi\xF3n: desde esta no se ven.");
}

void collectShownWindows() {
  shownCount = 0;
  HWND window = nullptr;
  while (shownCount < maxShown &&
         (window = user32.FindWindowExA(nullptr, window, nullptr, nullptr)) != nullptr) {
    if (!(user32.GetWindowLongA(window, GWL_STYLE) & WS_VISIBLE)) continue;
    DWORD processId = 0;
    user32.GetWindowThreadProcessId(window, &processId);
    shown[shownCount++] = {window, processId};
  }
}

bool isWatched(DWORD processId) {
  for (size_t i = 0; i < watchedCount; ++i)
    if (watched[i].id == processId) return true;
  return false;
}

// The program file of `processId` as the process list names it; "?" when it has ended.
void appendProgramName(Text& text, HANDLE processes, DWORD processId) {
  PROCESSENTRY32 entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32First(processes, &entry); more; more = Process32Next(processes, &entry))
    if (entry.th32ProcessID == processId) {
      appendText(text, entry.szExeFile);
      return;
    }
  appendChar(text, '?');
}

// Windows titled like the product whose program is none of those above: a folder open in
// Explorer, a text file in Notepad. A second start never raises them.
void reportLookAlikes(HANDLE processes) {
  int count = 0;
  for (size_t i = 0; i < shownCount; ++i) {
    if (isWatched(shown[i].processId)) continue;
    char title[256] = "";
    user32.GetWindowTextA(shown[i].window, title, sizeof title);
    if (!containsText(title, settings::instanceName)) continue;
    if (count++ == 0)
      reportFormat("Otras ventanas con \"%s\" en el t\xEDtulo:", settings::instanceName);
    char line[512];
    Text text = textOver(line);
    appendText(text, "    \"");
    appendText(text, title);
    appendText(text, "\", de ");
    appendProgramName(text, processes, shown[i].processId);
    appendText(text, " (proceso ");
    appendDecimal(text, shown[i].processId);
    appendText(text, "): no es la aplicaci\xF3n.");
    reportLine(textView(text));
  }
  if (count == 0)
    reportFormat("Ninguna otra ventana con \"%s\" en el t\xEDtulo.", settings::instanceName);
}

} // namespace

void reportRunning(const char* launcherPath) {
  reportHeading("Programas en marcha");
  reportInstanceName();
  HANDLE processes = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (processes == INVALID_HANDLE_VALUE) {
    reportFormat("No se puede leer la lista de procesos (error %lu).", GetLastError());
    return;
  }
  const char* kindNames[] = {fileNameOf(launcherPath).data(), "javaw.exe", settings::updaterName};
  watchedCount = 0;
  PROCESSENTRY32 entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32First(processes, &entry); more && watchedCount < maxWatched;
       more = Process32Next(processes, &entry)) {
    int kind = namesSameFile(entry.szExeFile, launcherPath)            ? 0
               : isJavaLauncherFile(entry.szExeFile)                   ? 1
               : namesSameFile(entry.szExeFile, settings::updaterName) ? 2
                                                                       : -1;
    if (kind >= 0) watched[watchedCount++] = {entry.th32ProcessID, kind};
  }
  windowsKnown = user32.FindWindowExA && user32.GetWindowLongA && user32.GetWindowThreadProcessId &&
                 user32.GetWindowTextA && user32.IsIconic;
  if (windowsKnown) collectShownWindows();
  DWORD ownSession = 0;
  ProcessIdToSessionId(GetCurrentProcessId(), &ownSession);
  for (int kind = 0; kind < 3; ++kind) {
    int count = 0;
    for (size_t i = 0; i < watchedCount; ++i)
      if (watched[i].kind == kind) {
        reportProcess(watched[i], kindNames[kind], ownSession);
        ++count;
      }
    if (count == 0) reportFormat("%s: ninguno en marcha.", kindNames[kind]);
  }
  if (windowsKnown) reportLookAlikes(processes);
  CloseHandle(processes);
}
