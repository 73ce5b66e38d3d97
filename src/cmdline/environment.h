#pragma once
// The surroundings the Java process inherits: working directory and environment.

#include <cstddef>

// Remembers the current directory in startDir and makes the executable's directory current.
void changeToExeDir(const char* exePath, size_t exeDirLength);

// Puts the selected runtime's bin directory at the end of Path; 0 when Path cannot take it.
int addRuntimeBinToPath();

// Sets the environment variables of the build-time settings list (NAME=VALUE, tab-separated).
void applyEnvSettings(const char* exePath, size_t exeDirLength);
