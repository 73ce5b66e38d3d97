#pragma once
// Where the updater sits and how it is asked whether an update is waiting.

#include "launch/bounded_text.h"

// Room for a quote, the longest module file name and what the check adds to its directory.
constexpr size_t updaterCommandSize = 1 + 260 + 45;

// The updater's directory: the module file name up to its last backslash; without a backslash,
// its first two characters (a drive).
std::string_view updaterDirectory(std::string_view moduleFileName);

// The updater's path: its directory joined with "wyUpdate.exe".
bool composeUpdaterPath(Text& path, std::string_view moduleFileName);

// The check's command line: "DIR\wyUpdate.exe" /quickcheck /justcheck /noerr, the first token
// quoted.
bool composeUpdateCheck(Text& line, std::string_view moduleFileName);
