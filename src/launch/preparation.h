#pragma once
// The part of a start's preparation that the launcher and the desk diagnostic share: from the
// failure defaults to the finished Java command line. Neither the debug log nor the instance is
// touched here, so the diagnostic can run it to predict a start without changing anything.

#include <cstddef>

// The failure fields a start reports with once its debug log is set up.
void writeFailureDefaults();

// Prepares the Java start of the launcher at `exePath`, whose first `exeDirLength` bytes are its
// folder: working folder, runtime, Path, environment, then the Java launcher's path and argument
// text. 1: ready; 0: failed, the failure fields and the thread's last error code say why.
int prepareJavaStart(const char* exePath, size_t exeDirLength);
