#pragma once
// Scanning the registry keys under which Java runtimes register one sub-key per version.

#include <cstdint>

// Scans one search key in one registry view (bit 0x100 of `flags`: the 64-bit view) and keeps
// the greatest usable version in the launch state.
void scanRuntimeKeys(const char* searchKeyPath, uint32_t flags);

// Whether the version key leads to a runtime whose Java launcher exists; sets runtimeHome if so,
// badRuntimeSeen if not.
int tryJavaHome(const char* versionKeyPath, uint32_t flags);

// Whether "bin\javaw.exe" exists below the home directory.
int hasJavaLauncher(const char* homeDirectory);
