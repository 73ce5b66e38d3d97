// Stand-in for a runtime's javaw.exe: records how it was started (FAKEJAVA_RECORD), then plays
// the steps of FAKEJAVA_ACTION (sleep, exit, visible or hidden windows). See README.md.
#include "hexrec.h"

#include <sddl.h>

#include <string>

namespace {

const char kClass[] = "VendroFakeJava";
HWND g_visible = nullptr;  // the last window shown; closing it ends the process with 0

// Exit code of a step that cannot be understood, so that a broken test action shows up.
const UINT kBadAction = 0xBAD;

std::string start_record(unsigned long long started) {
  STARTUPINFOA si;
  si.cb = sizeof si;
  GetStartupInfoA(&si);
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  std::string r;
  r += rec::item("qpc", started);
  r += rec::item("qpc_freq", static_cast<unsigned long long>(frequency.QuadPart));
  r += rec::item("cmdline", GetCommandLineA());
  char cwd[MAX_PATH * 4];
  DWORD n = GetCurrentDirectoryA(sizeof cwd, cwd);
  r += rec::item("cwd", std::string(cwd, n < sizeof cwd ? n : 0));
  std::string path;
  if (rec::getenv("Path", path)) r += rec::item("path", path);
  r += rec::item("pid", GetCurrentProcessId());
  r += rec::item("priority", GetPriorityClass(GetCurrentProcess()));
  r += rec::item("si_cb", si.cb);
  r += rec::item("si_flags", si.dwFlags);
  r += rec::item("si_show", si.wShowWindow);
  r += rec::item("si_x", si.dwX);
  r += rec::item("si_y", si.dwY);
  r += rec::item("si_xsize", si.dwXSize);
  r += rec::item("si_ysize", si.dwYSize);
  r += rec::item("si_title", si.lpTitle ? si.lpTitle : "");
  r += rec::item("si_desktop", si.lpDesktop ? si.lpDesktop : "");
  r += rec::item("si_stdin", reinterpret_cast<UINT_PTR>(si.hStdInput));
  r += rec::item("si_stdout", reinterpret_cast<UINT_PTR>(si.hStdOutput));
  r += rec::item("si_stderr", reinterpret_cast<UINT_PTR>(si.hStdError));
  return r;
}

LRESULT CALLBACK wnd_proc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_DESTROY && w == g_visible) PostQuitMessage(0);
  return DefWindowProcA(w, msg, wp, lp);
}

void pump_or_quit() {
  MSG m;
  while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
    if (m.message == WM_QUIT) ExitProcess(static_cast<UINT>(m.wParam));
    TranslateMessage(&m);
    DispatchMessageA(&m);
  }
}

// Waits MS milliseconds while the windows stay responsive.
void sleep_pumping(DWORD ms) {
  DWORD start = GetTickCount();
  for (;;) {
    pump_or_quit();
    DWORD spent = GetTickCount() - start;
    if (spent >= ms) return;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, ms - spent, QS_ALLINPUT);
  }
}

HWND make_window(const std::string& title, bool show) {
  static bool registered = false;
  if (!registered) {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = wnd_proc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = kClass;
    registered = RegisterClassA(&wc) != 0;
  }
  HWND w = CreateWindowExA(0, kClass, title.c_str(), WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                           CW_USEDEFAULT, 480, 320, nullptr, nullptr, GetModuleHandleA(nullptr),
                           nullptr);
  if (w && show) {
    g_visible = w;
    ShowWindow(w, SW_SHOW);
    UpdateWindow(w);
  }
  return w;
}

void run_step(const std::string& step) {
  size_t colon = step.find(':');
  std::string verb = step.substr(0, colon);
  std::string arg = colon == std::string::npos ? std::string() : step.substr(colon + 1);
  unsigned long n = 0;
  if (verb == "sleep" && rec::parse_u32(arg, n)) {
    sleep_pumping(n);
  } else if (verb == "exit" && rec::parse_u32(arg, n)) {
    ExitProcess(n);
  } else if (verb == "window" && colon != std::string::npos) {
    if (!make_window(arg, true)) ExitProcess(kBadAction);
  } else if (verb == "hidden" && colon != std::string::npos) {
    if (!make_window(arg, false)) ExitProcess(kBadAction);
  } else if (verb == "minimise" && g_visible) {
    ShowWindow(g_visible, SW_MINIMIZE);
  } else if (verb == "start" && !arg.empty()) {
    // As Java's Runtime.exec and ProcessBuilder do: with handle inheritance, without waiting.
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessA(nullptr, &arg[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi))
      ExitProcess(kBadAction);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
  } else if (verb == "event" && !arg.empty()) {
    if (!CreateEventA(nullptr, TRUE, FALSE, arg.c_str())) ExitProcess(kBadAction);  // kept open
  } else if (verb == "lockedmutex" && !arg.empty()) {
    // Only SYSTEM may open it, as a mutex of another account or of an elevated process.
    SECURITY_ATTRIBUTES sa = {sizeof sa, nullptr, FALSE};
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorA("D:(A;;GA;;;SY)", SDDL_REVISION_1,
                                                              &sa.lpSecurityDescriptor, nullptr) ||
        !CreateMutexA(&sa, FALSE, arg.c_str()))
      ExitProcess(kBadAction);  // kept open
  } else if (verb == "hang" && rec::parse_u32(arg, n)) {
    Sleep(n);  // no messages pumped: the windows do not answer
    std::string path;
    if (rec::getenv("FAKEJAVA_RECORD", path))
      rec::write_file(path.c_str(), rec::item("woke", ""), true);
  } else {
    ExitProcess(kBadAction);
  }
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  // First thing: the benchmark's time to Java ends here.
  LARGE_INTEGER started;
  QueryPerformanceCounter(&started);
  std::string path;
  if (rec::getenv("FAKEJAVA_RECORD", path) &&
      !rec::write_file(path.c_str(),
                       start_record(static_cast<unsigned long long>(started.QuadPart)), false))
    ExitProcess(kBadAction);

  std::string action;
  if (!rec::getenv("FAKEJAVA_ACTION", action) || action.empty()) ExitProcess(0);
  size_t pos = 0;
  while (pos <= action.size()) {
    size_t end = action.find(';', pos);
    if (end == std::string::npos) end = action.size();
    std::string step = action.substr(pos, end - pos);
    if (!step.empty()) run_step(step);
    pos = end + 1;
  }

  // Out of steps: stay alive like a running application until ended from outside.
  MSG m;
  while (GetMessageA(&m, nullptr, 0, 0) > 0) {
    TranslateMessage(&m);
    DispatchMessageA(&m);
  }
  ExitProcess(static_cast<UINT>(m.wParam));
}
