#pragma once
// Scanning the registry keys under which Java runtimes register one sub-key per version.

#include <cstdint>

// Scans one search key in one registry view (bit 0x100 of `flags`: the 64-bit view) and keeps
// the greatest usable version in the launch state.
void scanRuntimeKeys(const char* searchKeyPath, uint32_t flags);
