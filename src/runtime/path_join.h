#pragma once
#include "launch/bounded_text.h"

// Appends `element` with one backslash in between (none is added after a trailing backslash, or
// to an empty path, which stays relative). Returns false when the result did not fit.
inline bool joinPath(Text& path, std::string_view element) {
  if (path.length > 0 && !endsWith(textView(path), '\\')) appendChar(path, '\\');
  appendText(path, element);
  return !path.cut;
}

// Turns a runtime's home directory into the path of its windowed Java launcher.
bool appendLauncherName(Text& directory);
