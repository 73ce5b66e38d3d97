#pragma once
// The options file beside the executable and the filter that turns its lines into options.

#include "launch/bounded_text.h"

// The options file's name: `exePath` without its last three characters ("exe"), then "pmr.ini".
// Returns false when the name does not fit, which makes the file count as absent.
bool composeOptionsPath(Text& path, std::string_view exePath);

// Filters `readCount` raw bytes that lie right behind `text` into it, in place: "#" starts a
// comment to the line end, every other byte is kept, and CR and LF become one line feed, which
// the expansion turns into a blank and never pairs a reference across. Where the text already
// ends in a blank or a line feed, that byte becomes the line feed instead, so each line feed
// stands for the one blank a line end adds. With at least one byte read the text then ends in a
// blank or a line feed.
// The caller guarantees that the raw bytes lie inside the buffer; they may reach its last byte,
// which is then left for the terminator and the text marked cut.
void filterOptions(Text& text, size_t readCount);

// What a byte-order mark at the start of an options file says. Notepad saves "UTF-8" with the
// mark EF BB BF, which would otherwise be glued to the first option; a UTF-16 file has a zero
// byte in every other place and cannot be read as code page 1252 at all.
enum class OptionsMark { none, utf8, utf16 };
constexpr size_t utf8MarkLength = 3;
OptionsMark optionsMark(std::string_view raw);

// Where the options end: at the first NUL byte outside a comment, which would end the argument
// text there and glue what follows to the class path; otherwise at the end of `raw`. A NUL inside
// a comment goes with the comment, as every other byte of it does.
size_t optionsEnd(std::string_view raw);

// Of `raw`, read from a file that goes on with the byte `next`, the length that holds no option
// cut short: all of it when `next` ends the last line (CR, LF, or a NUL that ends the options);
// otherwise up to and including its last line end, and of the cut line what comes before a
// "#", since a comment begun there drops the rest of the line however it goes on.
size_t wholeLines(std::string_view raw, char next);
