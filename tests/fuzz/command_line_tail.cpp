// The launcher's command-line tail: the program name passed over like the C runtime does, with a
// lead-byte table taken from the input (32 bytes, one bit per byte value).

#include <cstdint>
#include <cstring>
#include <memory>

#include "fuzz_check.h"
#include "launch/command_line.h"

namespace {

uint8_t leadTable[32];

bool tableLead(unsigned char byte) {
  return (leadTable[byte >> 3] >> (byte & 7)) & 1;
}

// Index of the tail in `line`, read as a run of bytes instead of a walk over a pointer.
size_t modelTail(std::string_view line) {
  size_t i = 0;
  bool quoted = false;
  while (i < line.size()) {
    unsigned char c = static_cast<unsigned char>(line[i]);
    if (c <= 0x20 && !quoted) break;
    if (c == '"')
      quoted = !quoted;
    else if (tableLead(c) && i + 1 < line.size())
      ++i;
    ++i;
  }
  while (i < line.size() && static_cast<unsigned char>(line[i]) <= 0x20)
    ++i;
  return i;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  size_t tableSize = size < sizeof leadTable ? size : sizeof leadTable;
  memset(leadTable, 0, sizeof leadTable);
  memcpy(leadTable, data, tableSize);
  // The command line ends at its first zero; an exactly sized copy makes a read past it an error.
  std::string_view rest(reinterpret_cast<const char*>(data) + tableSize, size - tableSize);
  std::string_view line = rest.substr(0, rest.find('\0'));
  auto copy = std::make_unique<char[]>(line.size() + 1);
  memcpy(copy.get(), line.data(), line.size());
  copy[line.size()] = '\0';

  const char* tail = commandLineTail(copy.get(), tableLead);
  FUZZ_CHECK(tail >= copy.get() && tail <= copy.get() + line.size());
  FUZZ_CHECK(static_cast<size_t>(tail - copy.get()) == modelTail(line));
  // The tail never starts with a blank or a control byte.
  FUZZ_CHECK(*tail == '\0' || static_cast<unsigned char>(*tail) > 0x20);
  return 0;
}
