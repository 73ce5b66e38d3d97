#pragma once
// Starting the Java process and watching it while the splash is up.

#include <cstdint>

// 1 when the Java process was created; 0 when not (last error set), childExitCode then -1.
int startChild();
void closeChildHandles();

// Starts the Java process and, with the splash up, watches it once a second until its first
// window shows, the splash times out or the process ends. False when it could not be started;
// otherwise `exitCode` is the launcher's exit code.
bool runChild(uint32_t& exitCode);
