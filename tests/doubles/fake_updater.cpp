// Stand-in for wyUpdate.exe: appends its command line to FAKEUPDATE_RECORD and exits with
// FAKEUPDATE_EXIT when started with arguments, with 0 for the bare install run. See README.md.
#include "hexrec.h"

#include <string>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  const char* cmdline = GetCommandLineA();
  std::string path;
  if (rec::getenv("FAKEUPDATE_RECORD", path) &&
      !rec::write_file(path.c_str(), rec::item("cmdline", cmdline), true))
    ExitProcess(0xBAD);  // a record that cannot be written must not pass unnoticed

  if (*rec::after_program(cmdline) == '\0') ExitProcess(0);
  std::string code;
  unsigned long wait = 0; // FAKEUPDATE_SLEEP=MS: a check that takes its time, as over a slow line
  if (rec::getenv("FAKEUPDATE_SLEEP", code) && rec::parse_u32(code, wait)) Sleep(wait);
  if (rec::getenv("FAKEUPDATE_VANISH", code) && code == "1") {  // removed as the check ends
    char self[MAX_PATH];
    DWORD n = GetModuleFileNameA(nullptr, self, MAX_PATH);
    if (n == 0 || n >= MAX_PATH || !MoveFileA(self, (std::string(self) + ".gone").c_str()))
      ExitProcess(0xBAD);
  }
  unsigned long n = 0;
  if (!rec::getenv("FAKEUPDATE_EXIT", code) || code.empty()) ExitProcess(0);
  ExitProcess(rec::parse_u32(code, n) ? n : 0xBAD);
}
