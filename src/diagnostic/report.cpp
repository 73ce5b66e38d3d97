#include "diagnostic/report.h"

#include <windows.h>

#include <cstdio>

static char reportBuffer[reportSize];
static Text report = textOver(reportBuffer);

Text& reportText() {
  return report;
}

void reportRaw(std::string_view text) {
  for (size_t i = 0; i < text.size(); ++i) {
    bool crBefore = i > 0 && text[i - 1] == '\r';
    if (text[i] == '\n' && !crBefore) appendChar(report, '\r');
    appendChar(report, text[i]);
  }
}

void reportLine(std::string_view text) {
  reportRaw(text);
  appendText(report, "\r\n");
}

void reportHeading(std::string_view title) {
  appendText(report, "\r\n===== ");
  reportRaw(title);
  appendText(report, " =====\r\n");
}

void reportField(std::string_view label, std::string_view value) {
  reportRaw(label);
  appendText(report, ": ");
  reportLine(value);
}

void reportFormat(const char* format, ...) {
  char line[4096];
  va_list arguments;
  va_start(arguments, format);
  int written = _vsnprintf(line, sizeof line - 1, format, arguments);
  va_end(arguments);
  line[sizeof line - 1] = '\0';
  size_t length = written < 0 ? sizeof line - 1 : static_cast<size_t>(written);
  reportLine(std::string_view(line, length));
}

void reportWide(const wchar_t* text) {
  char converted[4096];
  // No best fit: a letter the code page lacks shows as '?', not as a look-alike ("Lodz" for
  // "Łódź") that would name another folder.
  int length = WideCharToMultiByte(1252, WC_NO_BEST_FIT_CHARS, text, -1, converted,
                                   sizeof converted, "?", nullptr);
  if (length <= 0) {
    converted[0] = '\0';
    length = 1;
  }
  reportRaw(std::string_view(converted, static_cast<size_t>(length - 1)));
}
