#include "desktop/instance_window.h"

#include "launch/bounded_text.h"
#include "launch/launch_settings.h"

std::string_view fileNameOf(std::string_view path) {
  size_t backslash = path.rfind('\\');
  return backslash == std::string_view::npos ? path : slice(path, backslash + 1);
}

static char asciiLower(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool namesSameFile(std::string_view exeFile, std::string_view path) {
  std::string_view name = fileNameOf(exeFile);
  std::string_view other = fileNameOf(path);
  if (name.size() != other.size()) return false;
  for (size_t i = 0; i < name.size(); ++i)
    if (asciiLower(name[i]) != asciiLower(other[i])) return false;
  return true;
}

bool isJavaLauncherFile(std::string_view exeFile) {
  return namesSameFile(exeFile, settings::javaLauncherName);
}
