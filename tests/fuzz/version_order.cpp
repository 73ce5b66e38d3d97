// Version order over three names cut from the input: a total order, equal only for equal names,
// and the same as comparing unsigned bytes with a proper prefix first.

#include <cstdint>
#include <cstring>
#include <fuzzer/FuzzedDataProvider.h>
#include <memory>
#include <string>

#include "fuzz_check.h"
#include "runtime/version_order.h"

namespace {

int sign(int value) {
  return (value > 0) - (value < 0);
}

// An exactly sized copy, so that a read past the name's end is an error under ASan.
struct Name {
  explicit Name(const std::string& text) : bytes(new char[text.size()]), size(text.size()) {
    memcpy(bytes.get(), text.data(), size);
  }
  std::string_view view() const { return {bytes.get(), size}; }
  std::unique_ptr<char[]> bytes;
  size_t size;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider input(data, size);
  Name a(input.ConsumeRandomLengthString(300));
  Name b(input.ConsumeRandomLengthString(300));
  Name c(input.ConsumeRemainingBytesAsString());
  const Name* names[] = {&a, &b, &c};
  int order[3][3]; // each pair compared once, in both directions
  for (int x = 0; x < 3; ++x)
    for (int y = 0; y < 3; ++y)
      order[x][y] = sign(compareVersions(names[x]->view(), names[y]->view()));
  for (int x = 0; x < 3; ++x) {
    for (int y = 0; y < 3; ++y) {
      std::string_view nx = names[x]->view(), ny = names[y]->view();
      FUZZ_CHECK(order[x][y] == -order[y][x]);
      FUZZ_CHECK((order[x][y] == 0) == (nx == ny));
      // char_traits<char> compares as unsigned char, a proper prefix first.
      FUZZ_CHECK(order[x][y] == sign(nx.compare(ny)));
      for (int z = 0; z < 3; ++z) {
        if (order[x][y] <= 0 && order[y][z] <= 0) FUZZ_CHECK(order[x][z] <= 0);
        if (order[x][y] < 0 && order[y][z] < 0) FUZZ_CHECK(order[x][z] < 0);
      }
    }
  }
  return 0;
}
