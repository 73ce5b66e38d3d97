#include "runtime/path_join.h"
#include "launch/launch_settings.h"

bool appendLauncherName(Text& directory) {
  return joinPath(directory, settings::javaLauncherName);
}
