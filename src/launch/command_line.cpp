#include "launch/command_line.h"

const char* commandLineTail(const char* fullCommandLine, IsLeadByte isLeadByte) {
  const unsigned char* p = reinterpret_cast<const unsigned char*>(fullCommandLine);
  bool quoted = false;
  while (*p > 0x20 || (*p != 0 && quoted)) {
    if (*p == '"')
      quoted = !quoted;
    else if (isLeadByte(*p) && p[1] != 0) // never step over the terminator
      ++p;
    ++p;
  }
  while (*p >= 0x01 && *p <= 0x20)
    ++p;
  return reinterpret_cast<const char*>(p);
}
