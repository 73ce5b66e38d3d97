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
    user32.MessageBoxA(nullptr, settings::updaterErrorText, settings::updaterErrorTitle, MB_OK);
    return false;
  }
  WaitForSingleObject(updater.hProcess, INFINITE);
  DWORD exitCode = 0;
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
  // current folder and on PATH. The update was accepted: the application does not start, even
  // when the updater could not be named or opened (the debug log is not open yet).
  if (!module.empty() && composeUpdaterPath(path, module)) shellOpen(nullptr, updaterPath);
  exit(1);
}
