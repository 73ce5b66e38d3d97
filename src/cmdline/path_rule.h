#pragma once
#include <cstddef>

// Whether `Path` of `pathLength` characters can take ";" and a directory of `dirLength`
// characters and still stay within the 32767 characters of an environment value.
inline bool pathHasRoomFor(size_t pathLength, size_t dirLength) {
  return pathLength <= 32766 && dirLength <= 32766 - pathLength;
}
