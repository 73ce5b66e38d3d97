#include "runtime/registry_search.h"

#include <sys/stat.h>
#include <windows.h>

#include <cstring>

#include "diag/debug_log.h"
#include "launch/bounded_text.h"
#include "launch/launch_state.h"
#include "runtime/path_join.h"
#include "runtime/version_order.h"

// Whether "bin\javaw.exe" exists below the home directory.
static int hasJavaLauncher(const char* homeDirectory) {
  char launcherPath[pathSize] = "";
  int found = 0;
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
  return found;
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

static int rejectRuntime() {
  state.badRuntimeSeen = 1;
  return 0;
}

// Whether the version key leads to a runtime whose Java launcher exists; sets runtimeHome if so,
// badRuntimeSeen if not.
static int tryJavaHome(const char* versionKeyPath, uint32_t flags) {
  HKEY versionKey;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, versionKeyPath, 0, viewAccess(flags), &versionKey) !=
      ERROR_SUCCESS)
    return rejectRuntime();

  char javaHome[pathSize] = {};
  DWORD size = sizeof javaHome;
  LONG read = RegQueryValueExA(versionKey, "JavaHome", nullptr, nullptr,
                               reinterpret_cast<BYTE*>(javaHome), &size);
  // A value that fills the whole buffer without a terminator is a cut path, not a directory.
  if (read != ERROR_SUCCESS || memchr(javaHome, 0, sizeof javaHome) == nullptr) {
    RegCloseKey(versionKey);
    return rejectRuntime();
  }

  char home[pathSize];
  Text homeText = textOver(home);
  appendText(homeText, javaHome);
  // A kit's runtime is its "jre" folder; an empty JavaHome stays empty rather than becoming a
  // "jre" folder relative to the working directory.
  if ((flags & runtimeKindJdk) && javaHome[0] != '\0' && !joinPath(homeText, "jre")) {
    RegCloseKey(versionKey);
    return rejectRuntime();
  }
  int found = hasJavaLauncher(home);
  RegCloseKey(versionKey);
  if (!found) return rejectRuntime();
  copyText(state.runtimeHome, home);
  return 1;
}

void scanRuntimeKeys(const char* searchKeyPath, uint32_t flags) {
  logLine("%s-bit search:\t%s...\n", (flags & runtimeView64) ? "64" : "32", searchKeyPath);
  HKEY searchKey;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, searchKeyPath, 0, viewAccess(flags), &searchKey) !=
      ERROR_SUCCESS)
    return;

  for (DWORD index = 0;; ++index) {
    char name[pathSize];
    DWORD nameSize = sizeof name;
    if (RegEnumKeyExA(searchKey, index, name, &nameSize, nullptr, nullptr, nullptr, nullptr) !=
        ERROR_SUCCESS)
      break;

    char versionKeyPath[pathSize];
    Text keyPath = textOver(versionKeyPath);
    joinPath(keyPath, searchKeyPath);
    joinPath(keyPath, name);
    logLine("Check:\t\t%s\n", versionKeyPath);

    bool accepted = false;
    if (compareVersions(name, state.minJavaVersion) >= 0 &&
        compareVersions(name, state.bestJavaVersion) > 0) {
      // A key path that did not fit would open another key, and a cut version name would rank
      // wrongly: such a candidate is unusable.
      if (keyPath.cut || nameSize >= versionSize)
        rejectRuntime();
      else
        accepted = tryJavaHome(versionKeyPath, flags) != 0;
    }
    if (accepted) {
      copyText(state.bestJavaVersion, name);
      state.bestRuntimeFlags = static_cast<int32_t>(flags);
      logLine("Match:\t\t%s\n", name);
    } else {
      logLine("Ignore:\t\t%s\n", name);
    }
  }
  RegCloseKey(searchKey);
}
