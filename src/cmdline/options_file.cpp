#include "cmdline/options_file.h"

#include <fcntl.h>
#include <io.h>

#include <cstring>

#include "cmdline/options_text.h"
#include "launch/launch_settings.h"
#include "launch/launch_state.h"

// What lies beyond this point of the buffer is never read from the file.
constexpr size_t optionsReadLimit = argsSize - 1024;

void loadOptionsFile(Text& optionsText, const char* exePath) {
  appendText(optionsText, settings::fixedJavaOption);
  appendChar(optionsText, ' ');

  char optionsPath[pathSize];
  Text path = textOver(optionsPath);
  if (!composeOptionsPath(path, exePath))
    return; // a cut name would name another file: the options file counts as absent
  int file = _open(optionsPath, _O_RDONLY, 0); // text mode: CR LF arrives as LF, Ctrl-Z ends it
  if (file == -1) return;
  if (state.debugLog) fprintf(state.debugLog, "Loading:\t%s\n", optionsPath);
  char* raw = optionsText.data + optionsText.length;
  unsigned room = static_cast<unsigned>(optionsReadLimit - optionsText.length);
  int count = _read(file, raw, room);
  char beyond;
  // A file longer than the read limit would be cut, perhaps inside an option: the start fails
  // as for any argument text that does not fit, rather than pass Java a cut option.
  // In text mode a full read may return fewer bytes (CR LF arrives as LF): ask for one more.
  bool tooLong = count > 0 && _read(file, &beyond, 1) == 1;
  _close(file);
  if (tooLong) {
    if (state.debugLog) fprintf(state.debugLog, "Options:\t%s\n", "too long, the start fails");
    optionsText.cut = true;
    optionsText.data[optionsText.length] = '\0';
    return;
  }
  size_t length = count > 0 ? static_cast<size_t>(count) : 0;
  switch (optionsMark(std::string_view(raw, length))) {
  case OptionsMark::utf16:
    if (state.debugLog) fprintf(state.debugLog, "Options:\t%s\n", "ignored, the file is UTF-16");
    length = 0;
    break;
  case OptionsMark::utf8: // the mark is no part of the first option
    length -= utf8MarkLength;
    memmove(raw, raw + utf8MarkLength, length);
    break;
  case OptionsMark::none:
    break;
  }
  // A NUL byte would end the argument text there and glue what follows to the class path: the
  // options end at it, as they end at Ctrl-Z.
  if (const void* nul = memchr(raw, '\0', length)) {
    length = static_cast<size_t>(static_cast<const char*>(nul) - raw);
    if (state.debugLog) fprintf(state.debugLog, "Options:\t%s\n", "end at a NUL byte");
  }
  if (length > 0)
    filterOptions(optionsText, length);
  else
    optionsText.data[optionsText.length] = '\0';
}
