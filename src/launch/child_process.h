#pragma once
// Starting the Java process and watching it while the splash is up.

#include <cstdint>

// Starts the Java process and, with the splash up, watches it once a second until its first
// window shows, the splash times out or the process ends. False when it could not be started;
// otherwise `exitCode` is the launcher's exit code.
bool runChild(uint32_t& exitCode);
