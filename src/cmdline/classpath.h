#pragma once
#include <cstddef>

// Appends the class path argument (the application's jars and the SWT jar of the runtime's
// bitness) and the main class to javaArgs. Returns 0 when javaArgs or a path would outgrow its
// buffer; the Java program is then not started, rather than started with a cut class path.
int assembleClasspath(const char* exePath, size_t exeDirLength);

// Closes the argument text with a blank and the application's own arguments.
int endArgs();
