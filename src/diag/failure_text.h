#pragma once
// Completing the failure message with what the system says about the error.

#include "launch/bounded_text.h"
#include <cstdint>

// Appends the system's text, read with its inserts left as they are ("%1 no es una aplicación
// Win32 válida."), with each insert filled in: %1 with `program` (the file the failing call
// concerned; empty when there is none), every other insert (%2 to %99, with its "!format!" if
// any) with nothing. No argument array is involved, so none can be read past its end. "%%" and
// a percent sign followed by anything but a digit from 1 to 9 stay as they are.
inline void appendFilledInserts(Text& out, std::string_view systemText, std::string_view program) {
  size_t i = 0;
  while (i < systemText.size()) {
    char c = systemText[i];
    bool insert = c == '%' && i + 1 < systemText.size() && systemText[i + 1] >= '1' &&
                  systemText[i + 1] <= '9';
    if (c == '%' && !insert && i + 1 < systemText.size() && systemText[i + 1] == '%') {
      appendText(out, "%%");
      i += 2;
      continue;
    }
    if (!insert) {
      appendChar(out, c);
      ++i;
      continue;
    }
    size_t end = i + 2;
    if (end < systemText.size() && systemText[end] >= '0' && systemText[end] <= '9') ++end;
    if (systemText[i + 1] == '1' && end == i + 2) appendText(out, program);
    if (end < systemText.size() && systemText[end] == '!') {
      size_t close = systemText.find('!', end + 1);
      if (close != std::string_view::npos) end = close + 1;
    }
    i = end;
  }
}

// Appends two line feeds and the system's text, as completed above; what does not fit in the
// failure text's buffer is cut from the end of the system's text.
inline void appendSystemText(Text& failureText, std::string_view systemText) {
  appendText(failureText, "\n\n");
  appendText(failureText, systemText);
}

// When the system has no text for the code, the number still gives support something to look up.
inline void appendErrorNumber(Text& failureText, uint32_t code) {
  appendText(failureText, "\n\nError ");
  appendDecimal(failureText, code);
}
