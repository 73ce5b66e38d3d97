#pragma once
// Scanning the registry keys under which Java runtimes register one sub-key per version.

#include <cstdint>

// Scans one search key in one registry view (bit 0x100 of `flags`: the 64-bit view) and keeps
// the greatest usable version in the launch state.
void scanRuntimeKeys(const char* searchKeyPath, uint32_t flags);

// What the scan decided at each step, with the registry's own result code, for a watcher that
// explains a desk's search (the desk diagnostic). The launcher sets none.
enum class SearchStep : uint8_t {
  searchKeyOpened, // `error`: 0, or why the search key could not be opened (2: absent)
  listingEnded,    // `error`: 259 (no more keys), or why the listing stopped early
  belowMinimum,    // the version name ranks below the minimum version
  notAboveBest,    // not above a version accepted earlier
  nameTooLong,     // version name or key path too long for its buffer
  keyUnreadable,   // the version key could not be opened (`error`)
  noJavaHome,      // JavaHome could not be read (`error`, 2: absent)
  homeTooLong,     // JavaHome, or its "jre" folder, does not fit a path (`error` 234: the
                   // value is longer than the buffer)
  noJavaLauncher,  // no javaw.exe at `path` (empty when JavaHome is empty)
  launcherTooLong, // the launcher's path would not fit: not looked for
  accepted,        // the best runtime so far; `path` is its home folder
};

struct SearchEvent {
  SearchStep step;
  uint32_t flags;
  const char* keyPath; // the search key, or the version key
  const char* name;    // the version name; empty for the search key's steps
  const char* path;    // the launcher path looked for, or the accepted home folder
  long error;
};

using SearchWatcher = void (*)(const SearchEvent& event);
extern SearchWatcher searchWatcher;
