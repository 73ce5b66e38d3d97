#pragma once
// The options file that the launcher at `launcherPath` reads: its mark, size, read limit and the
// options it yields, by the launcher's own reading and expansion. After reportPrediction, whose
// runtime the options' references may name. `folderLength` bytes of the path form its folder.

#include <cstddef>

void reportOptionsFile(const char* launcherPath, size_t folderLength);
