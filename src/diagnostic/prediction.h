#pragma once
// What the launcher at `launcherPath` would do on a start, by the launcher's own code: its
// runtime search key by key, its verdict, and the Java command line it would run or the box it
// would show. `folderLength` bytes of the path form its folder.

#include <cstddef>

void reportPrediction(const char* launcherPath, size_t folderLength);
