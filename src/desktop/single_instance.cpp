#include "desktop/single_instance.h"

#include <windows.h>

#include <tlhelp32.h>

#include "desktop/instance_window.h"
#include "diag/debug_log.h"
#include "launch/bounded_text.h"
#include "launch/launch_settings.h"
#include "launch/launch_state.h"
#include "launch/system_library.h"

static HANDLE instanceMutex;

int claimInstanceMutex() {
  SECURITY_ATTRIBUTES attributes{sizeof attributes, nullptr, FALSE};
  instanceMutex = CreateMutexA(&attributes, FALSE, settings::instanceName);
  DWORD error = GetLastError();
  // A failed creation lets the start go on; its error code must not reach a later failure box.
  if (!instanceMutex) SetLastError(0);
  if (error != ERROR_ALREADY_EXISTS) return 1;
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

static HWND findInstanceWindow() {
  // One list of the running processes: it names each one's program file whatever its bitness
  // and rights, where opening the process could be refused.
  HANDLE processes = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (processes == INVALID_HANDLE_VALUE) return nullptr;
  HWND window = nullptr;
  while ((window = user32.FindWindowExA(nullptr, window, nullptr, nullptr)) != nullptr) {
    if (!(user32.GetWindowLongA(window, GWL_STYLE) & WS_VISIBLE)) continue;
    char title[128] = "";
    user32.GetWindowTextA(window, title, 127);
    if (!containsText(title, settings::instanceName)) continue;
    DWORD processId = 0;
    user32.GetWindowThreadProcessId(window, &processId);
    if (runsJavaLauncher(processes, processId)) break;
  }
  CloseHandle(processes);
  return window;
}

void activateInstanceWindow() {
  HWND window = findInstanceWindow();
  if (!window) return;
  user32.ShowWindow(window, user32.IsIconic(window) ? SW_RESTORE : SW_SHOW);
  user32.SetForegroundWindow(window);
}
