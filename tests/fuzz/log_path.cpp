// Names beside the executable, built from the module file name: the debug log's path from its
// directory, the options file's name from the whole name.

#include <cstdint>
#include <fuzzer/FuzzedDataProvider.h>
#include <string>

#include "cmdline/options_text.h"
#include "diag/log_path.h"
#include "fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider input(data, size);
  // Mostly the launcher's own buffers, sometimes any small one.
  size_t capacity =
      input.ConsumeBool() ? logPathSize : input.ConsumeIntegralInRange<size_t>(1, 300);
  std::string exePath = input.ConsumeRemainingBytesAsString();

  GuardedBuffer logBuffer(capacity);
  Text logPath = logBuffer.text();
  bool logFits = composeLogPath(logPath, exePath);
  checkAgainstModel(logBuffer, logPath, capacity, exePath + "\\pelmorin.log");
  FUZZ_CHECK(logFits == !logPath.cut);

  GuardedBuffer optionsBuffer(capacity);
  Text optionsPath = optionsBuffer.text();
  bool optionsFit = composeOptionsPath(optionsPath, exePath);
  if (exePath.size() < 3) {
    FUZZ_CHECK(!optionsFit);
    checkAgainstModel(optionsBuffer, optionsPath, capacity, "");
  } else {
    checkAgainstModel(optionsBuffer, optionsPath, capacity,
                      exePath.substr(0, exePath.size() - 3) + "pmr.ini");
    FUZZ_CHECK(optionsFit == !optionsPath.cut);
  }
  return 0;
}
