// The options filter, run in place over raw bytes that lie behind a text in a guarded buffer, up
// to the buffer's very last byte.

#include <cstdint>
#include <cstring>
#include <fuzzer/FuzzedDataProvider.h>
#include <string>

#include "cmdline/options_text.h"
#include "fuzz_check.h"

namespace {

bool endsInBlank(const std::string& text) {
  return !text.empty() && (text.back() == ' ' || text.back() == '\n');
}

// The filter read as a copy: comments dropped to the line end, each line end one line feed, which
// takes the place of a blank or line feed already there, and a blank at the end once anything
// was read.
std::string modelFilter(const std::string& before, const std::string& raw) {
  std::string filtered = before;
  bool copying = true;
  for (char c : raw) {
    if (c == '#') {
      copying = false;
    } else if (c == '\r' || c == '\n') {
      copying = true;
      if (endsInBlank(filtered))
        filtered.back() = '\n';
      else
        filtered += '\n';
    } else if (copying) {
      filtered += c;
    }
  }
  if (!raw.empty() && !endsInBlank(filtered)) filtered += ' ';
  return filtered;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider input(data, size);
  size_t capacity = input.ConsumeIntegralInRange<size_t>(1, 4096);
  std::string before = input.ConsumeRandomLengthString(capacity - 1);
  // The raw bytes may reach the last byte of the buffer, never past it.
  std::string raw = input.ConsumeBytesAsString(capacity - before.size());

  GuardedBuffer buffer(capacity);
  Text text = buffer.text();
  appendText(text, before);
  memcpy(buffer.data() + text.length, raw.data(), raw.size());
  filterOptions(text, raw.size());
  checkAgainstModel(buffer, text, capacity, modelFilter(before, raw));
  return 0;
}
