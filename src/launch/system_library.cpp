#include "launch/system_library.h"

#include <windows.h>

#include "launch/bounded_text.h"
#include "launch/launch_state.h"

#ifndef LOAD_LIBRARY_SEARCH_SYSTEM32
#define LOAD_LIBRARY_SEARCH_SYSTEM32 0x00000800
#endif

template <typename Function>
static Function systemFunction(HMODULE module, const char* name) {
  return module ? reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)))
                : nullptr;
}

void restrictDllSearch() {
  using SetDefaultDllDirectories = BOOL(WINAPI*)(DWORD);
  // Looked up by name: systems without the update that brought it must still start.
  auto restrict = systemFunction<SetDefaultDllDirectories>(GetModuleHandleA("kernel32"),
                                                           "SetDefaultDllDirectories");
  if (restrict) restrict(LOAD_LIBRARY_SEARCH_SYSTEM32);
  SetDllDirectoryA(""); // the current directory leaves the search on older systems too
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
  return text.cut ? nullptr : LoadLibraryA(path);
}

User32 user32;

bool loadUser32() {
  HMODULE module = loadSystemLibrary("user32.dll");
  bool complete = module != nullptr;
#define VENDRO_USER32_BIND(name)                                                                   \
  user32.name = systemFunction<decltype(&::name)>(module, #name);                                  \
  complete = complete && user32.name != nullptr;
  VENDRO_USER32_FUNCTIONS(VENDRO_USER32_BIND)
#undef VENDRO_USER32_BIND
  return complete;
}

bool shellOpen(const char* verb, const char* target) {
  using CoInitializeEx = HRESULT(WINAPI*)(void*, DWORD);
  using ShellExecuteExA = BOOL(WINAPI*)(SHELLEXECUTEINFOA*);
  // The shell may hand the address over through COM or DDE: that needs COM on this thread.
  auto initialize =
      systemFunction<CoInitializeEx>(loadSystemLibrary("ole32.dll"), "CoInitializeEx");
  if (initialize) initialize(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
  auto execute =
      systemFunction<ShellExecuteExA>(loadSystemLibrary("shell32.dll"), "ShellExecuteExA");
  if (!execute) return false;
  SHELLEXECUTEINFOA request{};
  request.cbSize = sizeof request;
  request.fMask = SEE_MASK_NOASYNC; // the process ends right after: finish the hand-over first
  request.lpVerb = verb;
  request.lpFile = target;
  request.nShow = SW_SHOWNORMAL;
  return execute(&request) != FALSE;
}
