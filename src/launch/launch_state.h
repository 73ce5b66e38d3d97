#pragma once
// What the launcher learns while it prepares and runs one start. One record per process, zero at
// start-up, touched by the process's one thread only. Handles are kept as the types <windows.h>
// gives them (a window handle points to the system's HWND__), so that this header stays free of it
// and no cast is needed.

#include <cstdint>
#include <cstdio>

struct HWND__; // what a window handle, HWND, points to

constexpr size_t pathSize = 260;   // the Windows path limit, terminator included
constexpr size_t argsSize = 32768; // the Windows command-line limit, terminator included
constexpr size_t versionSize = 128;
constexpr size_t failureTextSize = 1024;

// Search flags of a runtime: where it was found.
constexpr int32_t runtimeKindJre = 1;
constexpr int32_t runtimeKindJdk = 2;
constexpr int32_t runtimeView64 = 0x100; // KEY_WOW64_64KEY

// Why the splash went, for the log (0 while it is up): a start that reaches 259 either way must
// still tell support whether the Java program showed a window or the wait ran out.
constexpr int32_t splashJavaWindow = 1;
constexpr int32_t splashTimedOut = 2;
constexpr int32_t splashJavaEnded = 3;

struct ChildInfo {
  void* process;
  void* thread;
  uint32_t processId;
  uint32_t threadId;
};

struct LaunchState {
  char javaExePath[pathSize];
  char javaArgs[argsSize];
  uint32_t processPriority;
  int32_t bestRuntimeFlags;
  int32_t badRuntimeSeen;
  char minJavaVersion[versionSize];
  char bestJavaVersion[versionSize];
  char runtimeHome[pathSize];
  char failureTitle[versionSize];
  char failureText[failureTextSize];
  char failureUrl[failureTextSize];
  const char* failureProgram; // the program a failed call concerned, named in the system's text
  ChildInfo childInfo;
  char startDir[pathSize];
  int32_t underWow64; // a Windows BOOL
  FILE* debugLog;
  int32_t splashShown;
  int32_t splashAwaitWindow;
  int32_t splashSecondsLeft;
  int32_t splashEnd;
  HWND__* splashWnd;
  uint32_t childExitCode;
};

extern LaunchState state;
