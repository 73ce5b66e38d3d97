#include "diag/debug_log.h"

#include <windows.h>

#include <cstdarg>

#include "diag/log_path.h"
#include "launch/bounded_text.h"
#include "launch/launch_settings.h"
#include "launch/launch_state.h"

static FILE* openDebugLog(const char* exePath, size_t exeDirLength) {
  char logPath[logPathSize] = {};
  Text path = textOver(logPath);
  if (!composeLogPath(path, std::string_view(exePath, exeDirLength))) return nullptr;
  // Text mode, appending: every logged start adds to the file. Not inherited ("N"), so the Java
  // program does not hold the log open for its whole life.
  return fopen(logPath, "aN");
}

int initDebugLog(const char* commandLine, const char* exePath, size_t exeDirLength) {
  char variable[argsSize - 1] = {};
  DWORD length = GetEnvironmentVariableA(settings::debugVariable, variable, sizeof variable);
  if (length >= sizeof variable) variable[0] = '\0'; // the value did not fit and was not written
  bool asked = containsText(commandLine, settings::debugSwitch) ||
               containsText(variable, settings::debugVariableWord);
  if (asked) {
    state.debugLog = openDebugLog(exePath, exeDirLength);
    if (!state.debugLog) return 0;
  }
  logStartHeader(commandLine, exePath);
  return 1;
}

void logLine(const char* format, ...) {
  if (!state.debugLog) return;
  va_list arguments;
  va_start(arguments, format);
  vfprintf(state.debugLog, format, arguments);
  va_end(arguments);
}

void closeDebugLog() {
  if (state.debugLog) fclose(state.debugLog);
  state.debugLog = nullptr;
}
