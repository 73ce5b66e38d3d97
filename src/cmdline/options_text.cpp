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
      if (write == 0 || text.data[write - 1] != ' ') keep(' ');
    } else if (copying) {
      keep(c);
    }
  }
  text.data[write] = '\0';
  text.length = write;
  if (!endsWith(textView(text), ' ')) appendChar(text, ' ');
}
