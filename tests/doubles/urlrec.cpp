// Registered as the open command of http and https: `"urlrec.exe" "RECORD" "%1"`. Appends
// `url=HEX` with the address to RECORD instead of starting a browser. See README.md.
#include "hexrec.h"

#include <cstdlib>
#include <string>

namespace {

// Takes the next argument: a quoted one runs to the next quote, a bare one to the next blank.
// Backslashes are kept as they are, since the address is pasted into the command unchanged.
std::string take_arg(const char*& p) {
  std::string out;
  if (*p == '"') {
    const char* end = ++p;
    while (*end && *end != '"') ++end;
    out.assign(p, end);
    p = *end ? end + 1 : end;
  } else {
    const char* end = p;
    while (*end && *end != ' ' && *end != '\t') ++end;
    out.assign(p, end);
    p = end;
  }
  while (*p == ' ' || *p == '\t') ++p;
  return out;
}

// The address is the rest of the line: a quoted one runs to the last quote, so that a quote
// inside the address does not cut it short.
std::string take_last(const char* p) {
  std::string rest(p);
  while (!rest.empty() && (rest.back() == ' ' || rest.back() == '\t')) rest.pop_back();
  if (rest.size() >= 2 && rest.front() == '"' && rest.back() == '"')
    return rest.substr(1, rest.size() - 2);
  if (!rest.empty() && rest.front() == '"') return rest.substr(1);
  return rest;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  const char* p = rec::after_program(GetCommandLineA());
  std::string record = take_arg(p);
  if (record.empty()) ExitProcess(2);
  std::string url = take_last(p);
  if (!rec::write_file(record.c_str(), rec::item("url", url), true)) ExitProcess(3);
  // URLREC_WAIT=MS: stay MS milliseconds, as a browser stays open, holding what it inherited.
  char wait[16] = "";
  if (GetEnvironmentVariableA("URLREC_WAIT", wait, sizeof wait) - 1 < sizeof wait - 1)
    Sleep(static_cast<DWORD>(strtoul(wait, nullptr, 10)));
  ExitProcess(0);
}
