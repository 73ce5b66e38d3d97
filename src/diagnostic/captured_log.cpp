#include "diagnostic/captured_log.h"

#include <cstdarg>
#include <cstdio>

#include "diag/debug_log.h"
#include "launch/bounded_text.h"
#include "launch/launch_state.h"

static char captured[4 * argsSize];
static Text capture = textOver(captured);

std::string_view capturedLog() {
  return textView(capture);
}

void clearCapturedLog() {
  capture = textOver(captured);
}

void logLine(const char* format, ...) {
  static char line[argsSize + 1024]; // the longest line holds the whole argument text
  va_list arguments;
  va_start(arguments, format);
  int written = _vsnprintf(line, sizeof line - 1, format, arguments);
  va_end(arguments);
  line[sizeof line - 1] = '\0';
  appendText(capture, std::string_view(line, written < 0 ? sizeof line - 1 : size_t(written)));
}

void closeDebugLog() {}
