#pragma once
// What every fuzz target checks: a violated property stops the run as a crash, so libFuzzer keeps
// the input that caused it.

#include <cstddef>
#include <string>
#include <string_view>

#include "../unit/guarded_buffer.h"
#include "launch/bounded_text.h"

#define FUZZ_CHECK(condition)                                                                      \
  do {                                                                                             \
    if (!(condition)) __builtin_trap();                                                            \
  } while (0)

// The text still describes the guarded buffer: nothing written beside it, the length within the
// capacity and the zero right behind it.
inline void checkBounded(GuardedBuffer& buffer, const Text& text, size_t capacity) {
  FUZZ_CHECK(buffer.guardsIntact());
  FUZZ_CHECK(text.data == buffer.data());
  FUZZ_CHECK(text.capacity == capacity);
  FUZZ_CHECK(text.length < capacity);
  FUZZ_CHECK(text.data[text.length] == '\0');
}

// The text holds as much of the unbounded `model` as fits, and is marked cut exactly when not all
// of it did.
inline void checkAgainstModel(GuardedBuffer& buffer, const Text& text, size_t capacity,
                              std::string_view model) {
  checkBounded(buffer, text, capacity);
  bool fits = model.size() <= capacity - 1;
  FUZZ_CHECK(text.cut == !fits);
  FUZZ_CHECK(textView(text) == model.substr(0, fits ? model.size() : capacity - 1));
}
