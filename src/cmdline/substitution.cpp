#include "cmdline/substitution.h"

#include <windows.h>

#include "cmdline/reference_expansion.h"
#include "diag/debug_log.h"
#include "launch/launch_state.h"

namespace {

struct ExePlace {
  const char* exePath;
  size_t exeDirLength;
};

void appendCurrentDirectory(Text& dest) {
  // With room for any directory the system writes straight behind the text.
  if (textRoom(dest) >= pathSize) {
    DWORD length = GetCurrentDirectoryA(pathSize, dest.data + dest.length);
    commitWritten(dest, length > 0 && length < pathSize ? length : 0);
    return;
  }
  char directory[pathSize];
  DWORD length = GetCurrentDirectoryA(pathSize, directory);
  if (length > 0 && length < pathSize) appendText(dest, std::string_view(directory, length));
}

void appendEnvironmentValue(Text& dest, std::string_view name) {
  char nameText[referenceNameSize];
  Text nameCopy = textOver(nameText);
  appendText(nameCopy, name);
  char value[argsSize];
  DWORD length = GetEnvironmentVariableA(nameText, value, argsSize - 1);
  if (length == 0) return;
  if (length >= argsSize - 1) { // the value alone outgrows any command line
    dest.cut = true;
    return;
  }
  appendText(dest, std::string_view(value, length));
}

void resolveReference(void* context, std::string_view name, Text& dest) {
  const ExePlace& place = *static_cast<const ExePlace*>(context);
  if (name == "EXEDIR")
    appendText(dest, std::string_view(place.exePath, place.exeDirLength));
  else if (name == "EXEFILE")
    appendText(dest, place.exePath);
  else if (name == "PWD")
    appendCurrentDirectory(dest);
  else if (name == "OLDPWD")
    appendText(dest, state.startDir);
  else if (name == "JREHOMEDIR")
    appendText(dest, state.runtimeHome);
  else
    appendEnvironmentValue(dest, name);
}

void logReference(void*, std::string_view name, const char* value) {
  logLine("Substitute:\t%.*s = %s\n", static_cast<int>(name.size()), name.data(), value);
}

} // namespace

int substituteVars(Text& dest, std::string_view source, const char* exePath, size_t exeDirLength) {
  ExePlace place{exePath, exeDirLength};
  return expandReferences(dest, source, resolveReference, logReference, &place);
}
