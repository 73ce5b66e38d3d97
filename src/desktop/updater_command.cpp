#include "desktop/updater_command.h"
#include "launch/launch_settings.h"
#include "runtime/path_join.h"

std::string_view updaterDirectory(std::string_view moduleFileName) {
  size_t slash = moduleFileName.rfind('\\');
  if (slash == std::string_view::npos) return slice(moduleFileName, 0, 2);
  return slice(moduleFileName, 0, slash);
}

bool composeUpdaterPath(Text& path, std::string_view moduleFileName) {
  appendText(path, updaterDirectory(moduleFileName));
  return joinPath(path, settings::updaterName);
}

bool composeUpdateCheck(Text& line, std::string_view moduleFileName) {
  appendChar(line, '"');
  composeUpdaterPath(line, moduleFileName); // joined after the quote: never a relative name
  appendChar(line, '"');
  appendText(line, settings::updaterCheckArgs);
  return !line.cut;
}
