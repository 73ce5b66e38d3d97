#pragma once
#include <cstddef>
#include <cstdint>

#include "launch/bounded_text.h"

// Appends the class path argument (the application's jars and the SWT jar of the runtime's
// bitness) and the main class to javaArgs. Returns 0 when javaArgs or a path would outgrow its
// buffer; the Java program is then not started, rather than started with a cut class path.
int assembleClasspath(const char* exePath, size_t exeDirLength);

// The SWT jar of the accepted runtime's bitness (`runtimeFlags`), in the launcher's folder
// `exeDir`; false when it does not fit.
bool composeSwtPath(Text& path, std::string_view exeDir, int32_t runtimeFlags);

// Closes the argument text with a blank and the application's own arguments.
int endArgs();
