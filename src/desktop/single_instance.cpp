#include "desktop/single_instance.h"

#include <windows.h>

#include <tlhelp32.h>

#include "desktop/instance_window.h"
#include "diag/debug_log.h"
#include "launch/bounded_text.h"
#include "launch/launch_settings.h"
#include "launch/launch_state.h"
#include "launch/splash_layout.h"
#include "launch/system_library.h"

#ifndef PROCESS_QUERY_LIMITED_INFORMATION
#define PROCESS_QUERY_LIMITED_INFORMATION 0x1000
#endif

static HANDLE instanceMutex;

int claimInstanceMutex() {
  SECURITY_ATTRIBUTES attributes{sizeof attributes, nullptr, FALSE};
  instanceMutex = CreateMutexA(&attributes, FALSE, settings::instanceName);
  DWORD error = GetLastError();
  // A failed creation lets the start go on; its error code must not reach a later failure box.
  if (!instanceMutex) SetLastError(0);
  // A mutex this account may not open was made by a copy started elevated, by another account or
  // by the updater in its own context: the name exists, the application runs. Another kind of
  // object holding the name (ERROR_INVALID_HANDLE) is no copy of the application.
  if (error != ERROR_ALREADY_EXISTS && !(error == ERROR_ACCESS_DENIED && !instanceMutex)) return 1;
  logLine("Error:\t\t%s\n", "Instance already exists.");
  return 0;
}

void shareInstanceWith(void* javaProcess) {
  if (!instanceMutex) return;
  HANDLE copy;
  DuplicateHandle(GetCurrentProcess(), instanceMutex, javaProcess, &copy, 0, FALSE,
                  DUPLICATE_SAME_ACCESS);
}

// Whether the process `processId` runs a program file named like the Java launcher.
static bool runsJavaLauncher(HANDLE processes, DWORD processId) {
  PROCESSENTRY32 entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32First(processes, &entry); more; more = Process32Next(processes, &entry))
    if (entry.th32ProcessID == processId) return isJavaLauncherFile(entry.szExeFile);
  return false;
}

// The first visible top-level window, from the top, titled with "Vendro" whose process runs the
// Java launcher. `javaWindowSeen` tells whether the walk passed any visible window of a Java
// launcher, whatever its title (a login dialog, Java's own error box): then the cashier has
// something on screen. GetWindowTextA reads another process's title without asking its thread,
// so a hung application cannot hold the search.
static HWND findInstanceWindow(HANDLE processes, bool& javaWindowSeen) {
  javaWindowSeen = false;
  HWND window = nullptr;
  while ((window = user32.FindWindowExA(nullptr, window, nullptr, nullptr)) != nullptr) {
    if (!(user32.GetWindowLongA(window, GWL_STYLE) & WS_VISIBLE)) continue;
    DWORD processId = 0;
    user32.GetWindowThreadProcessId(window, &processId);
    if (!runsJavaLauncher(processes, processId)) continue;
    javaWindowSeen = true;
    char title[128] = "";
    user32.GetWindowTextA(window, title, 127);
    if (containsText(title, settings::instanceName)) return window;
  }
  return nullptr;
}

static uint64_t fileTimeValue(const FILETIME& time) {
  return (static_cast<uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

// Whether the process started less than the splash timeout ago. A start time that cannot be
// read (another account's process, an elevated one) counts as long ago.
static bool startedRecently(DWORD processId, uint64_t now) {
  HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId);
  if (!process) return false;
  FILETIME created, exited, kernel, user;
  bool read = GetProcessTimes(process, &created, &exited, &kernel, &user) != FALSE;
  CloseHandle(process);
  if (!read) return false;
  uint64_t timeout = static_cast<uint64_t>(splashTimeoutTicks(settings::splashTimeoutText)) *
                     10000000; // FILETIME counts 100-nanosecond steps
  uint64_t start = fileTimeValue(created);
  return start > now || now - start < timeout;
}

// Whether this session's application may still be on its way to its first window: another
// launcher of this session is running (a double click, a first start preparing or showing its
// splash), or a Java launcher of this session started less than the splash timeout ago.
static bool stillStarting(HANDLE processes) {
  char ownPath[pathSize] = "";
  GetModuleFileNameA(nullptr, ownPath, pathSize);
  DWORD ownId = GetCurrentProcessId();
  DWORD ownSession = 0;
  if (!ProcessIdToSessionId(ownId, &ownSession)) return true; // cannot tell: say nothing
  FILETIME nowTime;
  GetSystemTimeAsFileTime(&nowTime);
  uint64_t now = fileTimeValue(nowTime);
  PROCESSENTRY32 entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32First(processes, &entry); more;
       more = Process32Next(processes, &entry)) {
    DWORD session = 0;
    if (entry.th32ProcessID == ownId || !ProcessIdToSessionId(entry.th32ProcessID, &session) ||
        session != ownSession)
      continue;
    if (namesSameFile(entry.szExeFile, ownPath)) return true;
    if (isJavaLauncherFile(entry.szExeFile) && startedRecently(entry.th32ProcessID, now))
      return true;
  }
  return false;
}

// The running application shows no window and is not starting: one box tells the cashier, so
// that a double click never ends with nothing on screen.
static void tellNoWindow() {
  logLine("Instance:\t%s\n", "running, no window shown");
  // A box left open must not itself keep the name taken.
  if (instanceMutex) CloseHandle(instanceMutex);
  instanceMutex = nullptr;
  closeDebugLog();
  user32.MessageBoxA(nullptr, settings::noWindowText, settings::instanceName,
                     MB_OK | MB_ICONINFORMATION);
}

void activateInstanceWindow() {
  // One list of the running processes: it names each one's program file whatever its bitness
  // and rights, where opening the process could be refused.
  HANDLE processes = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (processes == INVALID_HANDLE_VALUE) return;
  bool javaWindowSeen;
  HWND window = findInstanceWindow(processes, javaWindowSeen);
  if (window) {
    // ShowWindow on another process's window waits for that window's thread, as long as a hung
    // application hangs: the restore is posted instead. A window already shown is left as it is.
    if (user32.IsIconic(window)) user32.ShowWindowAsync(window, SW_RESTORE);
    user32.SetForegroundWindow(window);
  } else if (!javaWindowSeen && !stillStarting(processes)) {
    CloseHandle(processes);
    tellNoWindow();
    return;
  }
  CloseHandle(processes);
}
