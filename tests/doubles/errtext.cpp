// `errtext.exe RECORD FIRST LAST`: writes to RECORD one line per error code from FIRST to LAST
// for which the system has a text, `CODE=HEX` with the text exactly as FormatMessageA gives it
// in this Windows installation. Tests compare the system part of a failure box with it.
#include "hexrec.h"

#include <cstdlib>
#include <string>

int main(int argc, char** argv) {
  if (argc != 4) return 2;
  unsigned long first = strtoul(argv[2], nullptr, 10), last = strtoul(argv[3], nullptr, 10);
  std::string record;
  for (unsigned long code = first; code <= last; ++code) {
    char* text = nullptr;
    DWORD length = FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_IGNORE_INSERTS |
                                      FORMAT_MESSAGE_FROM_SYSTEM,
                                  nullptr, code, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT),
                                  reinterpret_cast<char*>(&text), 0, nullptr);
    if (length != 0 && text != nullptr)
      record += rec::item(rec::dec(code).c_str(), std::string(text, length));
    if (text) LocalFree(text);
  }
  return rec::write_file(argv[1], record, false) ? 0 : 3;
}
