#include "cmdline/reference_expansion.h"

int expandReferences(Text& dest, std::string_view source, ResolveReference resolve, void* context,
                     FILE* log) {
  std::string_view rest = source;
  while (!rest.empty()) {
    size_t open = rest.find('%');
    if (open == std::string_view::npos) {
      appendText(dest, rest);
      return 1;
    }
    size_t close = rest.find('%', open + 1);
    if (close == std::string_view::npos) {
      // Dropping the rest would silently lose the user's options; keep it as written.
      appendText(dest, rest);
      return 0;
    }
    appendText(dest, slice(rest, 0, open));
    std::string_view name = slice(rest, open + 1, close - open - 1);
    size_t valueStart = dest.length;
    if (name.size() < referenceNameSize) resolve(context, name, dest);
    if (log)
      fprintf(log, "Substitute:\t%.*s = %s\n", static_cast<int>(name.size()), name.data(),
              dest.data + valueStart);
    rest = slice(rest, close + 1);
  }
  return 1;
}
