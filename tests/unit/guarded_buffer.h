#pragma once
// A text buffer with guard bytes on both sides: a write outside the buffer changes a guard.

#include <cstddef>
#include <vector>

#include "launch/bounded_text.h"

class GuardedBuffer {
public:
  explicit GuardedBuffer(size_t capacity)
      : capacity_(capacity), bytes_(capacity + 2 * guardSize, guardByte) {}

  char* data() { return bytes_.data() + guardSize; }
  Text text() { return textOver(data(), capacity_); }

  bool guardsIntact() const {
    for (size_t i = 0; i < guardSize; ++i)
      if (bytes_[i] != guardByte || bytes_[guardSize + capacity_ + i] != guardByte) return false;
    return true;
  }

private:
  static constexpr size_t guardSize = 16;
  static constexpr char guardByte = '\xA5';
  size_t capacity_;
  std::vector<char> bytes_;
};
