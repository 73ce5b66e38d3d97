#include "runtime/registry_search.h"

#include <sys/stat.h>
#include <windows.h>

#include <cstring>

#include "diag/debug_log.h"
#include "launch/bounded_text.h"
#include "launch/launch_state.h"
#include "runtime/path_join.h"
#include "runtime/version_order.h"

SearchWatcher searchWatcher;

static void tell(SearchStep step, uint32_t flags, const char* keyPath, const char* name,
                 const char* path, long error) {
  if (searchWatcher) searchWatcher(SearchEvent{step, flags, keyPath, name, path, error});
}

// Whether "bin\javaw.exe" exists below the home directory; otherwise why not.
static SearchStep findJavaLauncher(const char* homeDirectory, char (&launcherPath)[pathSize]) {
  launcherPath[0] = '\0';
  bool found = false;
  bool cut = false;
  if (homeDirectory[0] != '\0') {
    Text path = textOver(launcherPath);
    appendText(path, homeDirectory);
    struct _stat64i32 status;
    // A launcher path that does not fit is never looked for: a cut path names another file.
    cut = !appendLauncherName(path);
    if (!cut) found = _stat64i32(launcherPath, &status) == 0;
    if (!found) SetLastError(0); // a failure report that follows must not show this query's error
  }
  logLine("Check launcher:\t%s %s\n", launcherPath,
          found ? "(OK)"
          : cut ? "(too long, not looked for)"
                : "(not found)");
  return found ? SearchStep::accepted
         : cut ? SearchStep::launcherTooLong
               : SearchStep::noJavaLauncher;
}

// Without the 64-bit flag the 32-bit launcher reads its own view, the 32-bit one. The 64-bit test
// build, which stands for the launcher on 64-bit Windows, has to ask for that view by name.
static REGSAM viewAccess(uint32_t flags) {
#ifdef _WIN64
  return KEY_READ | ((flags & runtimeView64) ? KEY_WOW64_64KEY : KEY_WOW64_32KEY);
#else
  return KEY_READ | (flags & runtimeView64);
#endif
}

// Whether the version key leads to a runtime whose Java launcher exists; sets runtimeHome if so.
// `launcherPath` receives the path looked for, `error` the registry's result.
static SearchStep tryJavaHome(const char* versionKeyPath, uint32_t flags,
                              char (&launcherPath)[pathSize], long& error) {
  launcherPath[0] = '\0';
  HKEY versionKey;
  error = RegOpenKeyExA(HKEY_LOCAL_MACHINE, versionKeyPath, 0, viewAccess(flags), &versionKey);
  if (error != ERROR_SUCCESS) return SearchStep::keyUnreadable;

  char javaHome[pathSize] = {};
  DWORD size = sizeof javaHome;
  error = RegQueryValueExA(versionKey, "JavaHome", nullptr, nullptr,
                           reinterpret_cast<BYTE*>(javaHome), &size);
  RegCloseKey(versionKey);
  if (error == ERROR_MORE_DATA) return SearchStep::homeTooLong;
  if (error != ERROR_SUCCESS) return SearchStep::noJavaHome;
  // A value that fills the whole buffer without a terminator is a cut path, not a directory.
  if (memchr(javaHome, 0, sizeof javaHome) == nullptr) return SearchStep::homeTooLong;

  char home[pathSize];
  Text homeText = textOver(home);
  appendText(homeText, javaHome);
  // A kit's runtime is its "jre" folder; an empty JavaHome stays empty rather than becoming a
  // "jre" folder relative to the working directory.
  if ((flags & runtimeKindJdk) && javaHome[0] != '\0' && !joinPath(homeText, "jre"))
    return SearchStep::homeTooLong;
  SearchStep step = findJavaLauncher(home, launcherPath);
  if (step == SearchStep::accepted) copyText(state.runtimeHome, home);
  return step;
}

void scanRuntimeKeys(const char* searchKeyPath, uint32_t flags) {
  logLine("%s-bit search:\t%s...\n", (flags & runtimeView64) ? "64" : "32", searchKeyPath);
  HKEY searchKey;
  long error = RegOpenKeyExA(HKEY_LOCAL_MACHINE, searchKeyPath, 0, viewAccess(flags), &searchKey);
  tell(SearchStep::searchKeyOpened, flags, searchKeyPath, "", "", error);
  if (error != ERROR_SUCCESS) return;

  for (DWORD index = 0;; ++index) {
    char name[pathSize];
    DWORD nameSize = sizeof name;
    error = RegEnumKeyExA(searchKey, index, name, &nameSize, nullptr, nullptr, nullptr, nullptr);
    if (error != ERROR_SUCCESS) break;

    char versionKeyPath[pathSize];
    Text keyPath = textOver(versionKeyPath);
    joinPath(keyPath, searchKeyPath);
    joinPath(keyPath, name);
    logLine("Check:\t\t%s\n", versionKeyPath);

    char launcherPath[pathSize] = "";
    long readError = 0;
    SearchStep step;
    if (compareVersions(name, state.minJavaVersion) < 0)
      step = SearchStep::belowMinimum;
    else if (compareVersions(name, state.bestJavaVersion) <= 0)
      step = SearchStep::notAboveBest;
    // A key path that did not fit would open another key, and a cut version name would rank
    // wrongly: such a candidate is unusable.
    else if (keyPath.cut || nameSize >= versionSize)
      step = SearchStep::nameTooLong;
    else
      step = tryJavaHome(versionKeyPath, flags, launcherPath, readError);
    if (step != SearchStep::belowMinimum && step != SearchStep::notAboveBest &&
        step != SearchStep::accepted)
      state.badRuntimeSeen = 1;
    tell(step, flags, versionKeyPath, name,
         step == SearchStep::accepted ? state.runtimeHome : launcherPath, readError);
    if (step == SearchStep::accepted) {
      copyText(state.bestJavaVersion, name);
      state.bestRuntimeFlags = static_cast<int32_t>(flags);
      logLine("Match:\t\t%s\n", name);
    } else {
      logLine("Ignore:\t\t%s\n", name);
    }
  }
  tell(SearchStep::listingEnded, flags, searchKeyPath, "", "", error);
  RegCloseKey(searchKey);
}
