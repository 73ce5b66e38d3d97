#pragma once
// The diagnostic's report: one text in code page 1252, lines ending in CR LF (Notepad on every
// Windows the launcher runs on shows them), written through the bounded text helpers into one
// fixed buffer. What does not fit is left out, and the report says so at its end.

#include <cstdarg>
#include <cstddef>
#include <string_view>

#include "launch/bounded_text.h"

constexpr size_t reportSize = 512 * 1024;

// The report so far.
Text& reportText();

// A section: an empty line, then "===== title =====".
void reportHeading(std::string_view title);

// `text` as it is, its line feeds turned into CR LF (a CR LF already there stays one).
void reportRaw(std::string_view text);

// `text` and a line end.
void reportLine(std::string_view text = {});

// "label: value" and a line end.
void reportField(std::string_view label, std::string_view value);

// One formatted line (msvcrt's printf rules, bounded), and a line end.
#ifdef _WIN32
__attribute__((format(ms_printf, 1, 2)))
#endif
void reportFormat(const char* format, ...);

// A text the system gave in UTF-16 (a user name, a window title, a file name), in code page
// 1252; characters that code page lacks become '?' (never a look-alike letter).
void reportWide(const wchar_t* text);
