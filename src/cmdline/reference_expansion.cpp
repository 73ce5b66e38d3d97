#include "cmdline/reference_expansion.h"

static int expandLine(Text& dest, std::string_view line, ResolveReference resolve,
                      NoteReference note, void* context) {
  std::string_view rest = line;
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
    if (note) note(context, name, dest.data + valueStart);
    rest = slice(rest, close + 1);
  }
  return 1;
}

int expandReferences(Text& dest, std::string_view source, ResolveReference resolve,
                     NoteReference note, void* context) {
  int result = 1;
  std::string_view rest = source;
  for (;;) {
    size_t lineEnd = rest.find('\n');
    std::string_view line = slice(rest, 0, lineEnd);
    if (!expandLine(dest, line, resolve, note, context)) result = 0;
    if (lineEnd == std::string_view::npos) return result;
    appendChar(dest, ' ');
    rest = slice(rest, lineEnd + 1);
  }
}
