#include "cmdline/options_text.h"
#include "launch/launch_settings.h"

bool composeOptionsPath(Text& path, std::string_view exePath) {
  if (exePath.size() < 3) return false;
  appendText(path, slice(exePath, 0, exePath.size() - 3));
  appendText(path, settings::optionsFileSuffix);
  return !path.cut;
}

OptionsMark optionsMark(std::string_view raw) {
  if (raw.starts_with("\xEF\xBB\xBF")) return OptionsMark::utf8;
  if (raw.starts_with("\xFF\xFE") || raw.starts_with("\xFE\xFF")) return OptionsMark::utf16;
  return OptionsMark::none;
}

void filterOptions(Text& text, size_t readCount) {
  if (readCount == 0) return;
  char* raw = text.data + text.length;
  size_t write = text.length; // never passes the read position
  // Raw bytes may reach the buffer's last byte, which stays for the terminator.
  auto keep = [&text, &write](char c) {
    if (write + 1 < text.capacity)
      text.data[write++] = c;
    else
      text.cut = true;
  };
  bool copying = true;
  for (size_t i = 0; i < readCount; ++i) {
    char c = raw[i];
    if (c == '#') {
      copying = false;
    } else if (c == '\r' || c == '\n') {
      copying = true;
      // The line end is kept, as a line feed, for the expansion: a reference never spans it.
      // Where one blank would be enough, as at the end of a line that ends in a blank, the line
      // feed takes that blank's place, so that it still stands for one blank.
      if (write > 0 && (text.data[write - 1] == ' ' || text.data[write - 1] == '\n'))
        text.data[write - 1] = '\n';
      else
        keep('\n');
    } else if (copying) {
      keep(c);
    }
  }
  text.data[write] = '\0';
  text.length = write;
  if (!endsWith(textView(text), ' ') && !endsWith(textView(text), '\n')) appendChar(text, ' ');
}

size_t optionsEnd(std::string_view raw) {
  bool comment = false;
  for (size_t i = 0; i < raw.size(); ++i) {
    char c = raw[i];
    if (c == '#')
      comment = true;
    else if (c == '\r' || c == '\n')
      comment = false;
    else if (c == '\0' && !comment)
      return i;
  }
  return raw.size();
}

size_t wholeLines(std::string_view raw, char next) {
  if (next == '\r' || next == '\n' || next == '\0') return raw.size(); // the last line is whole
  size_t last = raw.find_last_of("\r\n");
  size_t cutLine = last == std::string_view::npos ? 0 : last + 1;
  // A comment begun on the cut line drops the rest of it, however it goes on.
  size_t comment = raw.find('#', cutLine);
  return comment == std::string_view::npos ? cutLine : comment;
}
