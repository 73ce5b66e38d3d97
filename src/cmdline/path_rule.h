#pragma once
#include <cstddef>

// Longest Path the launcher sets: with its terminator it stays within the system's 32767
// characters. A value one character longer is accepted when set, but the Java process then
// receives an empty Path and cannot find the runtime's DLLs.
constexpr size_t longestPath = 32766;

// Whether `Path` of `pathLength` characters can take ";" and a directory of `dirLength`
// characters and still be at most `longestPath` characters long.
inline bool pathHasRoomFor(size_t pathLength, size_t dirLength) {
  return pathLength < longestPath && dirLength <= longestPath - 1 - pathLength;
}
