// Failure-text completion: the system's text or the error number appended to a failure text that
// is taken up where it stands in its buffer, which may hold anything, a terminator or not.

#include <cstdint>
#include <cstring>
#include <fuzzer/FuzzedDataProvider.h>
#include <string>

#include "diag/failure_text.h"
#include "fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider input(data, size);
  size_t capacity = input.ConsumeIntegralInRange<size_t>(1, 2048);
  bool withNumber = input.ConsumeBool();
  uint32_t code = input.ConsumeIntegral<uint32_t>();
  std::string before = input.ConsumeBytesAsString(capacity);
  std::string systemText = input.ConsumeRemainingBytesAsString();

  GuardedBuffer buffer(capacity);
  memset(buffer.data(), 'x', capacity);
  memcpy(buffer.data(), before.data(), before.size());
  // What the buffer held up to its first zero, at most capacity - 1 bytes of it.
  std::string_view held(buffer.data(), capacity - 1);
  std::string model(held.substr(0, held.find('\0')));

  Text text = textAfter(buffer.data(), capacity);
  if (withNumber) {
    appendErrorNumber(text, code);
    model += "\n\nError " + std::to_string(code);
  } else {
    appendSystemText(text, systemText);
    model += "\n\n" + systemText;
  }
  checkAgainstModel(buffer, text, capacity, model);
  return 0;
}
