#include "launch/system_library.h"

#include <windows.h>

#include "launch/bounded_text.h"
#include "launch/launch_state.h"

#ifndef LOAD_LIBRARY_SEARCH_SYSTEM32
#define LOAD_LIBRARY_SEARCH_SYSTEM32 0x00000800
#endif

// How this process's DLL search was limited. SetDefaultDllDirectories affects this process
// alone. Where it is missing, SetDllDirectoryA("") takes the current folder out of the search,
// but Windows passes that setting on to every process started afterwards (the updater, Java, the
// browser), so it is set back around each start and applied again once the start has returned;
// system DLLs are loaded with the search that starts in their own folder, so that their own
// imports come from there too.
static bool systemDirectoryOnly;
static bool dllDirectoryChanged;

void restrictDllSearch() {
  // Looked up by name: systems without the update that brought it must still start.
  auto limitSearch = VENDRO_BIND(GetModuleHandleA("kernel32"), SetDefaultDllDirectories);
  systemDirectoryOnly = limitSearch && limitSearch(LOAD_LIBRARY_SEARCH_SYSTEM32);
  if (!systemDirectoryOnly) dllDirectoryChanged = SetDllDirectoryA("") != FALSE;
}

void restoreDllSearchForChildren() {
  if (!dllDirectoryChanged) return;
  SetDllDirectoryA(nullptr);
  dllDirectoryChanged = false;
}

void restrictDllSearchAgain() {
  if (systemDirectoryOnly || dllDirectoryChanged) return;
  DWORD error = GetLastError(); // the failure report explains the start, not this call
  dllDirectoryChanged = SetDllDirectoryA("") != FALSE;
  SetLastError(error);
}

// A DLL of the system directory, loaded by its full path; nullptr when it is not there.
static HMODULE loadSystemLibrary(const char* name) {
  char directory[pathSize] = {};
  UINT length = GetSystemDirectoryA(directory, pathSize);
  if (length == 0 || length >= pathSize) return nullptr;
  char path[pathSize];
  Text text = textOver(path);
  appendText(text, std::string_view(directory, length));
  appendChar(text, '\\');
  appendText(text, name);
  if (text.cut) return nullptr;
  return LoadLibraryExA(path, nullptr, systemDirectoryOnly ? 0 : LOAD_WITH_ALTERED_SEARCH_PATH);
}

User32 user32;

bool loadUser32() {
  HMODULE module = loadSystemLibrary("user32.dll");
  bool complete = module != nullptr;
#define VENDRO_USER32_BIND(name)                                                                   \
  user32.name = VENDRO_BIND(module, name);                                                         \
  complete = complete && user32.name != nullptr;
  VENDRO_USER32_FUNCTIONS(VENDRO_USER32_BIND)
#undef VENDRO_USER32_BIND
  return complete;
}

bool shellOpen(const char* verb, const char* target) {
  // The shell may hand the address over through COM or DDE: that needs COM on this thread.
  auto initialize = VENDRO_BIND(loadSystemLibrary("ole32.dll"), CoInitializeEx);
  if (initialize) initialize(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
  auto execute = VENDRO_BIND(loadSystemLibrary("shell32.dll"), ShellExecuteExA);
  if (!execute) return false;
  SHELLEXECUTEINFOA request{};
  request.cbSize = sizeof request;
  // The process ends right after: finish the hand-over first. Where the address or the updater
  // cannot be opened (no program for https), the shell shows no box of its own after ours.
  request.fMask = SEE_MASK_NOASYNC | SEE_MASK_FLAG_NO_UI;
  request.lpVerb = verb;
  request.lpFile = target;
  request.nShow = SW_SHOWNORMAL;
  restoreDllSearchForChildren(); // the shell starts the browser or the updater
  bool opened = execute(&request) != FALSE;
  restrictDllSearchAgain();
  return opened;
}
