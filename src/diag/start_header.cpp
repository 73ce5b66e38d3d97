#include "diag/debug_log.h"

#include <windows.h>

#include "launch/launch_settings.h"
#include "launch/launch_state.h"
#include "launch/system_library.h"

// The first lines of every logged start. Apart from the log file itself, so that the desk
// diagnostic, which writes the same lines into its report, shares them.

void logStartHeader(const char* commandLine, const char* exePath) {
  logLine("\n\nVersion:\t%s\n", settings::launcherVersion);
  logLine("CmdLine:\t%s %s\n", exePath, commandLine);
}

void detectWow64() {
#ifdef _WIN64
  // The 64-bit test build stands for the 32-bit launcher on 64-bit Windows.
  state.underWow64 = TRUE;
#else
  // Looked up by name: the function is missing on the oldest systems the launcher runs on.
  auto isWow64Process = VENDRO_BIND(GetModuleHandleA("kernel32"), IsWow64Process);
  BOOL underWow64 = FALSE;
  if (isWow64Process) isWow64Process(GetCurrentProcess(), &underWow64);
  state.underWow64 = underWow64;
#endif
  logLine("WOW64:\t\t%s\n", state.underWow64 ? "yes" : "no");
}
