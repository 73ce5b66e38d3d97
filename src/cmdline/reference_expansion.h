#pragma once
// Expansion of percent-sign references ('%NAME%') in a text. Which value a name stands for is the
// caller's business; this only finds the references and puts the pieces together.

#include "launch/bounded_text.h"

constexpr size_t referenceNameSize = 128; // names up to 127 characters

// Appends the value of `name` to `dest`, bounded like every other append.
using ResolveReference = void (*)(void* context, std::string_view name, Text& dest);
// Told of each reference once it is expanded: `value` is exactly what it appended.
using NoteReference = void (*)(void* context, std::string_view name, const char* value);

// Appends `source` to `dest` with every reference replaced by its value, and calls `note` (when
// given) once per reference. A name longer than 127 characters counts as an unset variable.
// A line feed in `source` ends a line (the options file's lines arrive so): it is appended as a
// blank, and a reference never spans it, so that a placeholder of Java's own ('%p') cannot pair
// with a percent sign on the next line. A percent sign without a partner on its line keeps the
// rest of that line literally, percent sign included, and the result is then 0; otherwise 1.
int expandReferences(Text& dest, std::string_view source, ResolveReference resolve,
                     NoteReference note, void* context);
