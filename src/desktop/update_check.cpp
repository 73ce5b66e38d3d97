#include "desktop/update_check.h"

#include <windows.h>

#include <cstdlib>

#include "desktop/updater_command.h"
#include "launch/launch_settings.h"
#include "launch/launch_state.h"
#include "launch/system_library.h"

// The module file name; empty when it could not be read whole (a cut name names another folder).
static std::string_view moduleFileName(char (&buffer)[pathSize]) {
  DWORD length = GetModuleFileNameA(nullptr, buffer, pathSize);
  if (length == 0 || length >= pathSize) return {};
  return std::string_view(buffer, length);
}

static void showUpdaterError() {
  user32.MessageBoxA(nullptr, settings::updaterErrorText, settings::updaterErrorTitle, MB_OK);
  SetLastError(0); // the start goes on: a later failure box must not explain this
}

bool checkForUpdate() {
  char moduleName[pathSize] = {};
  std::string_view module = moduleFileName(moduleName);
  char commandLine[updaterCommandSize];
  Text line = textOver(commandLine);
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION updater{};
  bool started = false;
  if (!module.empty() && composeUpdateCheck(line, module)) {
    restoreDllSearchForChildren();
    started = CreateProcessA(nullptr, commandLine, nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                             &startup, &updater) != FALSE;
    restrictDllSearchAgain();
  }
  if (!started) {
    showUpdaterError();
    return false;
  }
  // A check that has not answered in time counts as no update. The updater is left to end by
  // itself: it checks quietly (/noerr) and shows nothing, and ending it from outside would skip
  // its own cleanup. A later start's check finds it still running and ends at once (the
  // updater runs one copy at a time), so hung checks do not pile up.
  DWORD exitCode = 0;
  if (WaitForSingleObject(updater.hProcess, settings::updateCheckMilliseconds) == WAIT_OBJECT_0)
    GetExitCodeProcess(updater.hProcess, &exitCode);
  CloseHandle(updater.hProcess);
  CloseHandle(updater.hThread);
  return exitCode == 2;
}

void offerUpdate() {
  int answer = user32.MessageBoxA(nullptr, settings::updateOfferText, settings::updateOfferTitle,
                                  MB_OKCANCEL | MB_ICONINFORMATION | MB_TOPMOST);
  if (answer != IDOK) return;
  char moduleName[pathSize] = {};
  char updaterPath[updaterCommandSize];
  Text path = textOver(updaterPath);
  std::string_view module = moduleFileName(moduleName);
  // Only the updater beside the launcher: a bare "wyUpdate.exe" would be searched for in the
  // current folder and on PATH. Handed over, the launcher ends and the application does not start.
  if (!module.empty() && composeUpdaterPath(path, module)) {
    if (shellOpen(nullptr, updaterPath)) exit(1);
    // No to Windows' administrator prompt for the updater declines the update like Cancel.
    if (GetLastError() == ERROR_CANCELLED) {
      SetLastError(0);
      return;
    }
  }
  // Removed meanwhile, blocked, damaged: said like a check that cannot start, and the start
  // goes on as after a declined offer.
  showUpdaterError();
}
