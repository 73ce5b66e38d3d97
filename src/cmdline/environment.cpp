#include "cmdline/environment.h"

#include <direct.h>
#include <windows.h>

#include "cmdline/list_split.h"
#include "cmdline/path_rule.h"
#include "cmdline/substitution.h"
#include "diag/debug_log.h"
#include "launch/launch_settings.h"
#include "launch/launch_state.h"
#include "runtime/path_join.h"

void changeToExeDir(const char* exePath, size_t exeDirLength) {
  GetCurrentDirectoryA(pathSize, state.startDir);
  char directory[pathSize];
  Text path = textOver(directory);
  appendText(path, std::string_view(exePath, exeDirLength));
  joinPath(path, "."); // "C:" alone would mean the drive's current directory, "C:\." its root
  _chdir(directory);
  logLine("Working dir:\t%s\n", directory);
}

// Sets Path to its old value, ";" and `directory`; 0 when that would not fit or was refused.
static int appendToPathVar(const char* directory) {
  char value[argsSize] = {};
  DWORD length = GetEnvironmentVariableA("Path", value, argsSize - 1);
  std::string_view addition = directory;
  if (!pathHasRoomFor(length, addition.size())) {
    SetLastError(0); // too long is no system error: the box shows no system text for it
    return 0;
  }
  Text path = textAfter(value); // the old value, as the system wrote it
  appendChar(path, ';');
  appendText(path, addition);
  return SetEnvironmentVariableA("Path", value);
}

int addRuntimeBinToPath() {
  char binDirectory[pathSize + sizeof("\\bin")]; // any runtime home fits
  Text bin = textOver(binDirectory);
  appendText(bin, state.javaExePath);
  appendText(bin, "\\bin");
  if (appendToPathVar(binDirectory)) return 1;
  logLine("Error:\t\t%s\n", "appendToPathVar failed.");
  return 0;
}

void applyEnvSettings(const char* exePath, size_t exeDirLength) {
  std::string_view rest = settings::environmentSettings;
  std::string_view entry;
  while (nextListEntry(rest, '\t', entry)) {
    size_t equals = entry.find('=');
    if (equals == std::string_view::npos) continue; // not a NAME=VALUE entry: nothing to set
    char name[argsSize];
    Text nameText = textOver(name);
    appendText(nameText, slice(entry, 0, equals));
    char value[argsSize];
    Text valueText = textOver(value);
    substituteVars(valueText, slice(entry, equals + 1), exePath, exeDirLength);
    logLine("Set var:\t%s = %s\n", name, value);
    SetEnvironmentVariableA(name, value);
  }
}
