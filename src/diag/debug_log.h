#pragma once
// The debug log beside the executable, written when "--pmr-debug" is on the command line or the
// variable Pelmorin contains "debug".

#include <cstddef>
#include <cstdio>

// 0 when the log was asked for and its file did not open; otherwise 1 (log open or off).
int initDebugLog(const char* commandLine, const char* exePath, size_t exeDirLength);
void closeDebugLog();

// Writes to the debug log when it is open, in one formatted write. The log's printf is msvcrt's
// (see src/CMakeLists.txt), so the compiler checks the format by msvcrt's rules.
#ifdef _WIN32
__attribute__((format(ms_printf, 1, 2)))
#endif
void logLine(const char* format, ...);

// The log's first two lines of a start: the launcher's version, its path and command-line text.
void logStartHeader(const char* commandLine, const char* exePath);

// Sets underWow64: whether this 32-bit launcher runs on 64-bit Windows.
void detectWow64();
