#pragma once
// Completing the failure message with what the system says about the error.

#include "launch/bounded_text.h"
#include <cstdint>

// Appends two line feeds and the system's text, as returned; what does not fit in the failure
// text's buffer is cut from the end of the system's text.
inline void appendSystemText(Text& failureText, std::string_view systemText) {
  appendText(failureText, "\n\n");
  appendText(failureText, systemText);
}

// When the system has no text for the code, the number still gives support something to look up.
inline void appendErrorNumber(Text& failureText, uint32_t code) {
  appendText(failureText, "\n\nError ");
  appendDecimal(failureText, code);
}
