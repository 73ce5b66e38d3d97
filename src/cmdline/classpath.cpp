#include "cmdline/classpath.h"

#include <io.h>

#include "cmdline/list_split.h"
#include "cmdline/substitution.h"
#include "diag/debug_log.h"
#include "launch/bounded_text.h"
#include "launch/launch_settings.h"
#include "launch/launch_state.h"

namespace {

bool isWildCard(std::string_view entry) {
  return entry.find_first_of("*?") != std::string_view::npos;
}

// Appends every entry that the pattern matches, in the order the listing gives them.
bool appendMatches(Text& args, std::string_view pattern) {
  char patternText[pathSize];
  Text patternCopy = textOver(patternText);
  if (!appendText(patternCopy, pattern)) return false;
  size_t slash = pattern.rfind('\\');
  std::string_view directory = slash == std::string_view::npos ? "" : slice(pattern, 0, slash + 1);

  struct _finddata64i32_t found;
  intptr_t listing = _findfirst64i32(patternText, &found);
  if (listing == -1) return true;
  bool fits = true;
  do {
    char matchPath[pathSize];
    Text match = textOver(matchPath);
    appendText(match, directory);
    appendText(match, found.name);
    fits = !match.cut && appendText(args, textView(match)) && appendChar(args, ';');
    logLine("      \"      :\t%s%s\n", matchPath, match.cut ? " (too long)" : "");
  } while (fits && _findnext64i32(listing, &found) == 0);
  _findclose(listing);
  return fits;
}

} // namespace

bool composeSwtPath(Text& path, std::string_view exeDir, int32_t runtimeFlags) {
  appendText(path, exeDir);
  appendText(path, (runtimeFlags & runtimeView64) ? settings::swtJar64 : settings::swtJar32);
  return !path.cut;
}

int assembleClasspath(const char* exePath, size_t exeDirLength) {
  char expansion[argsSize];
  Text expanded = textOver(expansion);
  substituteVars(expanded, settings::classPath, exePath, exeDirLength);
  Text args = textAfter(state.javaArgs);
  bool fits = !expanded.cut;
  appendText(args, "-classpath \"");

  std::string_view rest = textView(expanded);
  std::string_view entry;
  while (fits && nextListEntry(rest, ';', entry)) {
    logLine("Add classpath:\t%.*s\n", static_cast<int>(entry.size()), entry.data());
    if (isWildCard(entry))
      fits = appendMatches(args, entry);
    else
      fits = appendText(args, entry) && appendChar(args, ';');
  }

  char swtPath[pathSize];
  Text swt = textOver(swtPath);
  composeSwtPath(swt, std::string_view(exePath, exeDirLength), state.bestRuntimeFlags);
  appendText(args, textView(swt));
  appendChar(args, ';');
  logLine("      \" SWT  :\t%s%s\n", swtPath, swt.cut ? " (too long)" : "");
  dropLastChar(args);
  appendText(args, "\" ");
  appendText(args, settings::mainClass);
  return fits && !swt.cut && !args.cut;
}

int endArgs() {
  Text args = textAfter(state.javaArgs);
  appendChar(args, ' ');
  appendText(args, settings::applicationArgs);
  return !args.cut;
}
