#pragma once
#include "launch/bounded_text.h"
#include "launch/launch_settings.h"

// Room for the longest executable directory and the log's name.
constexpr size_t logPathSize = 260 + sizeof("\\pelmorin.log");

// The debug log's path: the executable's directory followed by "\pelmorin.log".
inline bool composeLogPath(Text& path, std::string_view exeDir) {
  appendText(path, exeDir);
  appendText(path, settings::debugLogName);
  return !path.cut;
}
