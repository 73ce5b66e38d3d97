#include "cmdline/options_file.h"

#include <fcntl.h>
#include <io.h>

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
  int count = _read(file, optionsText.data + optionsText.length,
                    static_cast<unsigned>(optionsReadLimit - optionsText.length));
  if (count > 0)
    filterOptions(optionsText, static_cast<size_t>(count));
  else
    optionsText.data[optionsText.length] = '\0';
  _close(file);
}
