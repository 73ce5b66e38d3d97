#include "launch/child_process.h"

#include <windows.h>

#include "desktop/single_instance.h"
#include "diag/debug_log.h"
#include "launch/bounded_text.h"
#include "launch/child_command.h"
#include "launch/launch_state.h"
#include "launch/splash.h"
#include "launch/system_library.h"

constexpr UINT_PTR supervisionTimer = 1;

// 1 when the Java process was created; 0 when not (last error set), childExitCode then -1.
static int startChild() {
  state.childInfo = {};
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  char commandLine[argsSize];
  Text line = textOver(commandLine);
  if (!composeChildCommandLine(line, state.javaExePath, state.javaArgs)) {
    state.childExitCode = 0xFFFFFFFF;
    SetLastError(ERROR_FILENAME_EXCED_RANGE);
    return 0;
  }
  PROCESS_INFORMATION created{};
  // Inheritance stays on for the Java program's sake; no environment block and no directory, so
  // the Java process gets the Path and working directory prepared for it.
  restoreDllSearchForChildren();
  BOOL started = CreateProcessA(nullptr, commandLine, nullptr, nullptr, TRUE, state.processPriority,
                                nullptr, nullptr, &startup, &created);
  restrictDllSearchAgain();
  if (!started) {
    state.childExitCode = 0xFFFFFFFF;
    state.failureProgram = state.javaExePath;
    return 0;
  }
  shareInstanceWith(created.hProcess);
  state.childInfo = {created.hProcess, created.hThread, static_cast<uint32_t>(created.dwProcessId),
                     static_cast<uint32_t>(created.dwThreadId)};
  state.childExitCode = 0;
  return 1;
}

static void closeChildHandles() {
  CloseHandle(state.childInfo.thread);
  CloseHandle(state.childInfo.process);
}

static void logSplashEnd() {
  if (state.splashEnd == splashJavaWindow) logLine("Splash:\t\t%s\n", "Java window shown");
  if (state.splashEnd == splashTimedOut) logLine("Splash:\t\t%s\n", "timed out, no Java window");
  if (state.splashEnd == splashJavaEnded) logLine("Splash:\t\t%s\n", "Java ended first");
}

static void CALLBACK splashTimerProc(HWND, UINT, UINT_PTR, DWORD) {
  splashTick();
  DWORD exitCode;
  if (GetExitCodeProcess(state.childInfo.process, &exitCode)) state.childExitCode = exitCode;
  if (state.childExitCode != STILL_ACTIVE || !state.splashShown) {
    if (state.splashShown) state.splashEnd = splashJavaEnded;
    user32.KillTimer(state.splashWnd, supervisionTimer);
    user32.PostQuitMessage(0);
  }
}

bool runChild(uint32_t& exitCode) {
  HWND splash = state.splashWnd;
  if (state.splashShown && !user32.SetTimer(splash, supervisionTimer, 1000, splashTimerProc))
    return false;
  if (!startChild()) {
    if (state.splashShown) {
      DWORD error = GetLastError(); // the report explains the failed start, not the timer call
      user32.KillTimer(splash, supervisionTimer);
      SetLastError(error);
    }
    return false;
  }
  if (!state.splashShown) {
    logLine("Exit code:\t0\n");
    closeChildHandles();
    closeDebugLog();
    exitCode = 0;
    return true;
  }
  MSG message;
  while (user32.GetMessageA(&message, nullptr, 0, 0) > 0) {
    user32.TranslateMessage(&message);
    user32.DispatchMessageA(&message);
  }
  closeChildHandles();
  logSplashEnd();
  logLine("Exit code:\t%d\n", static_cast<int32_t>(state.childExitCode));
  closeDebugLog();
  exitCode = state.childExitCode;
  return true;
}
