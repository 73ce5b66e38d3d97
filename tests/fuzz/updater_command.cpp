// The updater's directory, path and check command line, built from any module file name.

#include <cstdint>
#include <fuzzer/FuzzedDataProvider.h>
#include <string>

#include "desktop/updater_command.h"
#include "fuzz_check.h"

namespace {

std::string modelDirectory(const std::string& moduleFileName) {
  size_t slash = moduleFileName.rfind('\\');
  return slash == std::string::npos ? moduleFileName.substr(0, 2) : moduleFileName.substr(0, slash);
}

// One backslash between the directory and the name, none after a trailing one.
std::string joined(const std::string& directory) {
  bool separated = directory.empty() || directory.back() == '\\';
  return directory + (separated ? "" : "\\") + "wyUpdate.exe";
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider input(data, size);
  bool ownSizes = input.ConsumeBool(); // the launcher's buffers, or any small ones
  size_t pathCapacity = ownSizes ? 260 : input.ConsumeIntegralInRange<size_t>(1, 320);
  size_t lineCapacity =
      ownSizes ? updaterCommandSize : input.ConsumeIntegralInRange<size_t>(1, 320);
  std::string moduleFileName = input.ConsumeRemainingBytesAsString();
  std::string directory = modelDirectory(moduleFileName);
  FUZZ_CHECK(updaterDirectory(moduleFileName) == directory);

  GuardedBuffer pathBuffer(pathCapacity);
  Text path = pathBuffer.text();
  bool pathFits = composeUpdaterPath(path, moduleFileName);
  checkAgainstModel(pathBuffer, path, pathCapacity, joined(directory));
  FUZZ_CHECK(pathFits == !path.cut);

  // After the opening quote the name is joined even to an empty directory: never a relative name.
  GuardedBuffer lineBuffer(lineCapacity);
  Text line = lineBuffer.text();
  bool lineFits = composeUpdateCheck(line, moduleFileName);
  std::string quoted = "\"" + directory;
  std::string model = joined(quoted) + "\" /quickcheck /justcheck /noerr";
  checkAgainstModel(lineBuffer, line, lineCapacity, model);
  FUZZ_CHECK(lineFits == !line.cut);
  return 0;
}
