#pragma once
#include <string_view>

#include "launch/bounded_text.h"

// Takes the next entry of a `separator`-separated list off the front of `rest`. Runs of
// separators count as one and separators at either end make no entry, so no entry is empty.
// Returns false when no entry is left.
inline bool nextListEntry(std::string_view& rest, char separator, std::string_view& entry) {
  size_t start = rest.find_first_not_of(separator);
  if (start == std::string_view::npos) {
    rest = {};
    return false;
  }
  rest.remove_prefix(start);
  size_t end = rest.find(separator);
  entry = slice(rest, 0, end);
  rest.remove_prefix(end == std::string_view::npos ? rest.size() : end);
  return true;
}
