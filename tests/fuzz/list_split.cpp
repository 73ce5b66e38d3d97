// List splitting: every entry is a non-empty piece of the list without a separator, the entries
// come in order, and together they are the list split at separators with empty pieces dropped.

#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "cmdline/list_split.h"
#include "fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  char separator = static_cast<char>(data[0]);
  size_t length = size - 1;
  auto bytes = std::make_unique<char[]>(length); // exactly sized: no read past the list's end
  memcpy(bytes.get(), data + 1, length);
  std::string_view list(bytes.get(), length);

  std::vector<std::string_view> model;
  std::string_view piece;
  for (size_t start = 0; start <= length;) {
    size_t end = list.find(separator, start);
    if (end == std::string_view::npos) end = length;
    piece = list.substr(start, end - start);
    if (!piece.empty()) model.push_back(piece);
    start = end + 1;
  }

  std::string_view rest = list;
  std::string_view entry;
  size_t count = 0;
  const char* after = list.data(); // entries do not overlap and come in order
  while (nextListEntry(rest, separator, entry)) {
    FUZZ_CHECK(count < model.size());
    FUZZ_CHECK(entry.data() == model[count].data() && entry.size() == model[count].size());
    FUZZ_CHECK(entry.data() >= after);
    after = entry.data() + entry.size();
    FUZZ_CHECK(rest.data() == after || rest.empty());
    ++count;
  }
  FUZZ_CHECK(count == model.size());
  FUZZ_CHECK(rest.empty());
  return 0;
}
