#pragma once
// Expansion of percent-sign references ('%NAME%') in a text. Which value a name stands for is the
// caller's business; this only finds the references and puts the pieces together.

#include "launch/bounded_text.h"
#include <cstdio>

constexpr size_t referenceNameSize = 128; // names up to 127 characters

// Appends the value of `name` to `dest`, bounded like every other append.
using ResolveReference = void (*)(void* context, std::string_view name, Text& dest);

// Appends `source` to `dest` with every reference replaced by its value, and logs one
// "Substitute:" line per reference when `log` is open. A name longer than 127 characters counts
// as an unset variable. A percent sign without a partner keeps the rest of the source literally,
// percent sign included, and the result is then 0; otherwise 1.
int expandReferences(Text& dest, std::string_view source, ResolveReference resolve, void* context,
                     FILE* log);
