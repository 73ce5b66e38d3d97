// The splash timeout text, read like atoi and kept within 1 to 900 seconds.

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "fuzz_check.h"
#include "launch/splash_layout.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  auto text = std::make_unique<char[]>(size + 1);
  memcpy(text.get(), data, size);
  text[size] = '\0';
  // The C library's reading, which saturates instead of overflowing, is the model.
  long value = strtol(text.get(), nullptr, 10);
  int32_t expected = value >= 1 && value <= 900 ? static_cast<int32_t>(value) : 60;
  FUZZ_CHECK(splashTimeoutTicks(text.get()) == expected);
  return 0;
}
