#include "diag/failure_report.h"

#include <windows.h>

#include "diag/debug_log.h"
#include "diag/failure_text.h"
#include "launch/launch_state.h"
#include "launch/system_library.h"

static void appendLastErrorText(DWORD code) {
  Text failureText = textAfter(state.failureText);
  char* systemText = nullptr;
  DWORD length = FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_IGNORE_INSERTS |
                                    FORMAT_MESSAGE_FROM_SYSTEM,
                                nullptr, code, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT),
                                reinterpret_cast<char*>(&systemText), 0, nullptr);
  if (length == 0 || systemText == nullptr) {
    // No text for this code: read nothing the system did not fill, give the number instead.
    logLine("Error:\t\tError %lu\n", code);
    appendErrorNumber(failureText, code);
    return;
  }
  // The text's inserts ("%1") filled in: the box names the program the failing call concerned.
  char completed[failureTextSize];
  Text completedText = textOver(completed);
  appendFilledInserts(completedText, std::string_view(systemText, length),
                      state.failureProgram ? state.failureProgram : "");
  LocalFree(systemText);
  logLine("Error:\t\t%s\n", completed);
  appendSystemText(failureText, textView(completedText));
}

void completeFailureText() {
  DWORD code = GetLastError();
  logLine("Error msg:\t%s\n", state.failureText);
  if (code != 0) appendLastErrorText(code);
}

void reportFailure() {
  completeFailureText();
  user32.MessageBoxA(nullptr, state.failureText, state.failureTitle, MB_OK);
  if (state.failureUrl[0] != '\0') {
    logLine("Open URL:\t%s\n", state.failureUrl);
    if (!shellOpen("open", state.failureUrl))
      logLine("Open failed:\t%s (error %lu)\n", state.failureUrl, GetLastError());
  }
  closeDebugLog();
}
