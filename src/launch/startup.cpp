// The launcher's entry point and the order in which a start is prepared.

#include <windows.h>

#include <cstring>

#include "desktop/single_instance.h"
#include "desktop/update_check.h"
#include "diag/debug_log.h"
#include "diag/failure_report.h"
#include "launch/bounded_text.h"
#include "launch/child_process.h"
#include "launch/command_line.h"
#include "launch/launch_settings.h"
#include "launch/launch_state.h"
#include "launch/preparation.h"
#include "launch/splash.h"
#include "launch/system_library.h"

// Prepares a start in its fixed order. 1: ready to start Java; 0: failed, the failure fields
// say why; 183 (ERROR_ALREADY_EXISTS): another instance is running.
static int setUpLaunch(const char* commandLine) {
  HMODULE module = GetModuleHandleA(nullptr);
  if (!module) return 0;
  copyText(state.failureTitle, settings::initialFailureTitle);
  state.bestRuntimeFlags = 0;
  state.badRuntimeSeen = 0;

  char exePath[pathSize] = {};
  DWORD exePathLength = GetModuleFileNameA(module, exePath, pathSize);
  // A name that fills the whole buffer was cut and would point at another directory.
  if (exePathLength == 0 || exePathLength >= pathSize) return 0;
  const char* lastBackslash = strrchr(exePath, '\\');
  if (!lastBackslash) {
    SetLastError(0); // no system cause: the box must not explain some earlier call
    return 0;
  }
  size_t exeDirLength = static_cast<size_t>(lastBackslash - exePath);

  if (!initDebugLog(commandLine, exePath, exeDirLength)) return 0;
  detectWow64();
  writeFailureDefaults();

  if (!claimInstanceMutex()) return ERROR_ALREADY_EXISTS;
  return prepareJavaStart(exePath, exeDirLength);
}

static bool isAnsiLeadByte(unsigned char byte) {
  return IsDBCSLeadByte(byte) != FALSE;
}

static int startupShowMode() {
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  GetStartupInfoA(&startup);
  return (startup.dwFlags & STARTF_USESHOWWINDOW) ? startup.wShowWindow : SW_SHOWDEFAULT;
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  restrictDllSearch();         // before anything can load a DLL
  if (!loadUser32()) return 1; // no window, no box: nothing can be shown without it
  const char* commandLine = commandLineTail(GetCommandLineA(), isAnsiLeadByte);
  int showMode = startupShowMode();

  if (checkForUpdate()) offerUpdate(); // ends the process once the updater has it

  int prepared = setUpLaunch(commandLine);
  if (prepared == ERROR_ALREADY_EXISTS) {
    activateInstanceWindow();
    closeDebugLog();
    return 2;
  }
  if (prepared == 1) {
    uint32_t exitCode = 0;
    if (showSplash(commandLine, instance, showMode) && runChild(exitCode))
      return static_cast<int>(exitCode);
  }
  reportFailure();
  return 1;
}
