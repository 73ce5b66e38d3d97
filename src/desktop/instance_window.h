#pragma once
// Telling the running application's window from other programs' windows named like it.

#include <string_view>

// Whether `exeFile`, a process's program file as the process list names it, is the Java launcher
// that a start runs ("javaw.exe"): its name after the last backslash, if any, compared as Windows
// compares file names (ASCII letters without regard to case).
bool isJavaLauncherFile(std::string_view exeFile);

// The file name of `path`: what follows its last backslash (all of it without one).
std::string_view fileNameOf(std::string_view path);

// Whether `exeFile` and `path` name the same file name (after the last backslash of each), as
// Windows compares file names.
bool namesSameFile(std::string_view exeFile, std::string_view path);
