#include "desktop/single_instance.h"

#include <windows.h>

#include "diag/debug_log.h"
#include "launch/bounded_text.h"
#include "launch/launch_settings.h"
#include "launch/launch_state.h"
#include "launch/system_library.h"

static HANDLE instanceMutex;

int claimInstanceMutex() {
  SECURITY_ATTRIBUTES attributes{sizeof attributes, nullptr, TRUE};
  instanceMutex = CreateMutexA(&attributes, FALSE, settings::instanceName);
  if (GetLastError() != ERROR_ALREADY_EXISTS) return 1;
  logLine("Error:\t\t%s\n", "Instance already exists.");
  return 0;
}

void stopInstanceInheritance() {
  if (instanceMutex) SetHandleInformation(instanceMutex, HANDLE_FLAG_INHERIT, 0);
}

HWND__* findInstanceWindow() {
  HWND window = nullptr;
  while ((window = user32.FindWindowExA(nullptr, window, nullptr, nullptr)) != nullptr) {
    char title[128] = "";
    user32.GetWindowTextA(window, title, 127);
    if (containsText(title, settings::instanceName)) return window;
  }
  return nullptr;
}
