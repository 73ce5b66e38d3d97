// The Path rule: ";" and a directory are added only while the new value stays within 32766
// characters, for any lengths the system may report (wide arithmetic is the model).

#include <cstdint>
#include <fuzzer/FuzzedDataProvider.h>

#include "cmdline/path_rule.h"
#include "fuzz_check.h"

namespace {

// Lengths near the limit, near zero and near the top of the range are the interesting ones.
size_t consumeLength(FuzzedDataProvider& input) {
  size_t offset = input.ConsumeIntegral<size_t>();
  switch (input.ConsumeIntegralInRange(0, 3)) {
  case 0:
    return longestPath + (offset & 0xFF) - 0x80;
  case 1:
    return offset & 0xFF;
  case 2:
    return SIZE_MAX - (offset & 0xFF);
  default:
    return offset;
  }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider input(data, size);
  size_t pathLength = consumeLength(input);
  size_t dirLength = consumeLength(input);
  unsigned __int128 newLength = static_cast<unsigned __int128>(pathLength) + 1 + dirLength;
  FUZZ_CHECK(pathHasRoomFor(pathLength, dirLength) == (newLength <= longestPath));
  return 0;
}
