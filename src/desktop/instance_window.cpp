#include "desktop/instance_window.h"

#include "launch/bounded_text.h"
#include "launch/launch_settings.h"

static std::string_view fileName(std::string_view path) {
  size_t backslash = path.rfind('\\');
  return backslash == std::string_view::npos ? path : slice(path, backslash + 1);
}

static char asciiLower(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool isJavaLauncherFile(std::string_view exeFile) {
  std::string_view name = fileName(exeFile);
  std::string_view launcher = fileName(settings::javaLauncherName);
  if (name.size() != launcher.size()) return false;
  for (size_t i = 0; i < name.size(); ++i)
    if (asciiLower(name[i]) != asciiLower(launcher[i])) return false;
  return true;
}
