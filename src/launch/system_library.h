#pragma once
// Reaching system DLLs without ever loading a copy planted beside the launcher (a downloads
// folder, a writable share). The executable imports only kernel32, advapi32 and msvcrt: the
// loader resolves imports, and the DLLs they pull in, before any of our code runs, searching the
// launcher's folder first. So the DLL search is restricted to the system directory first thing,
// then user32 is loaded by full path and its functions are bound; the shell and COM are loaded
// the same way only when a web page or the updater is opened.

#include <windows.h>

template <typename Function>
Function systemFunction(HMODULE module, const char* name) {
  return module ? reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)))
                : nullptr;
}

// The system function `name` of `module`, typed as the system's headers declare it; nullptr
// when the module or the function is missing.
#define VENDRO_BIND(module, name) systemFunction<decltype(&::name)>(module, #name)

// Limits the process's DLL search to the system directory, where the system knows how.
void restrictDllSearch();

// Puts back what restrictDllSearch changed that started processes would inherit. Called right
// before a process is started or the shell is called, and undone by restrictDllSearchAgain right
// after the call returns, so that the launcher's own later loads (message boxes, the shell) keep
// the restricted search. The second keeps the last error code, which explains the start.
void restoreDllSearchForChildren();
void restrictDllSearchAgain();

// Opens `target` (a web address, or a program to start) through the shell with `verb` (nullptr:
// the default verb) and waits until the shell has handed it over. False when it could not.
bool shellOpen(const char* verb, const char* target);

// The user32 functions the launcher calls, as `user32.MessageBoxA(...)`.
#define VENDRO_USER32_FUNCTIONS(X)                                                                 \
  X(CreateWindowExA)                                                                               \
  X(DispatchMessageA)                                                                              \
  X(EnumWindows)                                                                                   \
  X(FindWindowExA)                                                                                 \
  X(GetMessageA)                                                                                   \
  X(GetSystemMetrics)                                                                              \
  X(GetWindowLongA)                                                                                \
  X(GetWindowRect)                                                                                 \
  X(GetWindowTextA)                                                                                \
  X(GetWindowThreadProcessId)                                                                      \
  X(IsIconic)                                                                                      \
  X(KillTimer)                                                                                     \
  X(LoadImageA)                                                                                    \
  X(MessageBoxA)                                                                                   \
  X(PostQuitMessage)                                                                               \
  X(SendMessageA)                                                                                  \
  X(SetForegroundWindow)                                                                           \
  X(SetTimer)                                                                                      \
  X(SetWindowPos)                                                                                  \
  X(ShowWindow)                                                                                    \
  X(ShowWindowAsync)                                                                               \
  X(TranslateMessage)                                                                              \
  X(UpdateWindow)

struct User32 {
#define VENDRO_USER32_FIELD(name) decltype(&::name) name;
  VENDRO_USER32_FUNCTIONS(VENDRO_USER32_FIELD)
#undef VENDRO_USER32_FIELD
};
extern User32 user32;

// Loads user32 from the system directory and binds every function above; false when it could not.
bool loadUser32();
