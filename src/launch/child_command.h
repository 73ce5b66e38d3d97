#pragma once
#include "launch/bounded_text.h"

// The Java process's command line: the launcher's path in double quotes, a blank, the arguments.
// Returns false when it does not fit: the Java program must never start with a cut argument text.
inline bool composeChildCommandLine(Text& line, std::string_view javaExePath,
                                    std::string_view javaArgs) {
  appendChar(line, '"');
  appendText(line, javaExePath);
  appendText(line, "\" ");
  appendText(line, javaArgs);
  return !line.cut;
}
