#pragma once
#include "launch/bounded_text.h"

// Appends `source` to `dest` with its percent-sign references expanded: EXEDIR, EXEFILE, PWD,
// OLDPWD and JREHOMEDIR are the launcher's own, every other name is an environment variable.
// A reference never spans a line feed of `source`, which is appended as a blank. Returns 0 when
// a percent sign has no partner on its line, else 1. A value that does not fit leaves `dest.cut`
// set.
int substituteVars(Text& dest, std::string_view source, const char* exePath, size_t exeDirLength);
