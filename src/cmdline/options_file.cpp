#include "cmdline/options_file.h"

#include <fcntl.h>
#include <io.h>

#include <cstring>

#include "cmdline/options_text.h"
#include "diag/debug_log.h"
#include "launch/launch_settings.h"
#include "launch/launch_state.h"

void loadOptionsFile(Text& optionsText, const char* exePath) {
  appendText(optionsText, settings::fixedJavaOption);
  appendChar(optionsText, ' ');

  char optionsPath[pathSize];
  Text path = textOver(optionsPath);
  if (!composeOptionsPath(path, exePath))
    return; // a cut name would name another file: the options file counts as absent
  int file = _open(optionsPath, _O_RDONLY, 0); // text mode: CR LF arrives as LF, Ctrl-Z ends it
  if (file == -1) return;
  logLine("Loading:\t%s\n", optionsPath);
  char* raw = optionsText.data + optionsText.length;
  unsigned room = static_cast<unsigned>(optionsReadLimit - optionsText.length);
  int count = _read(file, raw, room);
  char beyond;
  // In text mode a full read may return fewer bytes than asked for (CR LF arrives as LF): whether
  // the file goes on is asked with one byte more.
  bool longer = count > 0 && _read(file, &beyond, 1) == 1;
  _close(file);
  size_t length = count > 0 ? static_cast<size_t>(count) : 0;
  switch (optionsMark(std::string_view(raw, length))) {
  case OptionsMark::utf16:
    logLine("Options:\t%s\n", "ignored, the file is UTF-16");
    length = 0;
    longer = false;
    break;
  case OptionsMark::utf8: // the mark is no part of the first option
    length -= utf8MarkLength;
    memmove(raw, raw + utf8MarkLength, length);
    break;
  case OptionsMark::none:
    break;
  }
  if (longer) logLine("Options:\tlonger than %u bytes, the rest is not read\n", room);
  size_t end = optionsEnd(std::string_view(raw, length));
  if (end < length) {
    length = end;
    logLine("Options:\t%s\n", "end at a NUL byte");
  } else if (longer) {
    // The read may end inside a line, perhaps inside an option: only options whose end is
    // known are used.
    length = wholeLines(std::string_view(raw, length), beyond);
  }
  if (length > 0)
    filterOptions(optionsText, length);
  else
    optionsText.data[optionsText.length] = '\0';
}
