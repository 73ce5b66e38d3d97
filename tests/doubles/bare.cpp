// Baseline for the benchmark: the process work of a launcher start and nothing else. Runs the
// updater's check beside it and waits for it, then starts the Java command line given after its
// own name (inheritance on, high priority class, as the launcher does) and exits 0. No registry,
// no files, no log, no splash; and no C++ library, so that its own image is not heavier than the
// launcher's. `bare.exe JAVA-COMMAND-LINE`; see README.md.
//
// Built a second time as bare_imports.exe, which also imports the system DLLs the launcher
// imports (without calling them): the difference between the two is the cost of loading those.
#include <windows.h>

namespace {

const char kCheckTail[] = "wyUpdate.exe\" /quickcheck /justcheck /noerr";

// The command line after the program's own name (quoted or not) and the blanks that follow it.
char* afterProgram(char* line) {
  if (*line == '"') {
    ++line;
    while (*line && *line != '"')
      ++line;
    if (*line) ++line;
  } else {
    while (*line && *line != ' ' && *line != '\t')
      ++line;
  }
  while (*line == ' ' || *line == '\t')
    ++line;
  return line;
}

// '"' + the module's folder + '\' + kCheckTail; false when it does not fit.
bool updateCheckLine(char (&line)[MAX_PATH + sizeof kCheckTail + 2]) {
  DWORD length = GetModuleFileNameA(nullptr, line + 1, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return false;
  line[0] = '"';
  DWORD slash = length;
  while (slash > 0 && line[slash] != '\\')
    --slash;
  if (slash == 0) return false;
  for (DWORD i = 0; i < sizeof kCheckTail; ++i)
    line[slash + 1 + i] = kCheckTail[i];
  return true;
}

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  char check[MAX_PATH + sizeof kCheckTail + 2];
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION updater = {};
  if (!updateCheckLine(check) || !CreateProcessA(nullptr, check, nullptr, nullptr, FALSE, 0,
                                                 nullptr, nullptr, &startup, &updater))
    return 1;
  WaitForSingleObject(updater.hProcess, INFINITE);
  DWORD updaterExit = 0;
  GetExitCodeProcess(updater.hProcess, &updaterExit);
  CloseHandle(updater.hProcess);
  CloseHandle(updater.hThread);

  char* java = afterProgram(GetCommandLineA());
#ifdef BARE_WITH_LAUNCHER_IMPORTS
  static volatile bool never = false;
  if (never) { // the calls only make the linker import their DLLs
    RegCloseKey(HKEY_LOCAL_MACHINE);
    MessageBoxA(nullptr, java, java, MB_OK);
  }
#endif
  PROCESS_INFORMATION child = {};
  if (!*java || !CreateProcessA(nullptr, java, nullptr, nullptr, TRUE, HIGH_PRIORITY_CLASS, nullptr,
                                nullptr, &startup, &child))
    return 1;
  CloseHandle(child.hThread);
  CloseHandle(child.hProcess);
  return 0;
}
