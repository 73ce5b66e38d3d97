// Failure-text completion: the system's text or the error number appended to a failure text that
// is taken up where it stands in its buffer, which may hold anything, a terminator or not; and the
// system's text with its inserts filled in, against a model built on the library's regex.

#include <cstdint>
#include <cstring>
#include <fuzzer/FuzzedDataProvider.h>
#include <regex>
#include <string>

#include "diag/failure_text.h"
#include "fuzz_check.h"

namespace {

// "%%" stays; %1 to %99, with a "!format!" when one is closed, becomes the program for %1 and
// nothing for the others.
std::string modelFilled(const std::string& systemText, const std::string& program) {
  static const std::regex insert("%%|%([1-9][0-9]?)(![^!]*!)?");
  std::string out;
  auto last = systemText.cbegin();
  for (std::sregex_iterator it(systemText.begin(), systemText.end(), insert), end; it != end;
       ++it) {
    out.append(last, (*it)[0].first);
    if ((*it)[0] == "%%")
      out += "%%";
    else if ((*it)[1] == "1")
      out += program;
    last = (*it)[0].second;
  }
  out.append(last, systemText.cend());
  return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider input(data, size);
  size_t capacity = input.ConsumeIntegralInRange<size_t>(1, 2048);
  if (input.ConsumeBool()) {
    std::string program = input.ConsumeRandomLengthString(300);
    std::string systemText = input.ConsumeRemainingBytesAsString();
    GuardedBuffer buffer(capacity);
    Text text = textOver(buffer.data(), capacity);
    appendFilledInserts(text, systemText, program);
    checkAgainstModel(buffer, text, capacity, modelFilled(systemText, program));
    return 0;
  }
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
