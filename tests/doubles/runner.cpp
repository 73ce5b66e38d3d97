// Starts the command line of REQUEST with a chosen environment, working directory and show mode,
// waits for it and reports the full 32-bit exit code, which `wine` itself cuts to 8 bits.
// `runner.exe REQUEST RESULT`; see README.md.
#include "hexrec.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

std::string env_name(const std::string& entry) {
  // Entries such as "=C:=C:\dir" start with '='; their name runs to the second one.
  size_t eq = entry.find('=', 1);
  return entry.substr(0, eq);
}

bool same_name(const std::string& a, const std::string& b) { return _stricmp(a.c_str(), b.c_str()) == 0; }

// The runner's own environment, without the unset names, with the set entries in place.
std::string make_env(const std::vector<std::string>& unset, const std::vector<std::string>& set) {
  std::vector<std::string> entries;
  char* block = GetEnvironmentStringsA();
  for (const char* p = block; *p; p += std::strlen(p) + 1) entries.emplace_back(p);
  FreeEnvironmentStringsA(block);

  auto drop = [&entries](const std::string& name) {
    for (auto it = entries.begin(); it != entries.end();)
      it = same_name(env_name(*it), name) ? entries.erase(it) : ++it;
  };
  for (const std::string& name : unset) drop(name);
  for (const std::string& entry : set) {
    drop(env_name(entry));
    entries.push_back(entry);
  }

  std::string out;
  for (const std::string& e : entries) out += e + '\0';
  out += '\0';
  if (entries.empty()) out += '\0';  // an empty block still needs two NULs
  return out;
}

// Reads the performance counter, the clock the benchmark compares across processes.
unsigned long long counter() {
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return static_cast<unsigned long long>(now.QuadPart);
}

struct WindowSearch {
  DWORD pid;
  const std::string* window_class;
  bool found;
};

BOOL CALLBACK find_window(HWND window, LPARAM param) {
  auto* search = reinterpret_cast<WindowSearch*>(param);
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  char name[256];
  if (pid != search->pid || !IsWindowVisible(window) || !GetClassNameA(window, name, sizeof name) ||
      _stricmp(name, search->window_class->c_str()))
    return TRUE;
  search->found = true;
  return FALSE;
}

// Waits for the child while polling, every few milliseconds, for its first visible top-level
// window of the class asked for; answers the counter when it was seen, 0 when never.
unsigned long long watch_for_window(const PROCESS_INFORMATION& pi,
                                    const std::string& window_class) {
  WindowSearch search = {pi.dwProcessId, &window_class, false};
  for (;;) {
    EnumWindows(find_window, reinterpret_cast<LPARAM>(&search));
    if (search.found) return counter();
    if (WaitForSingleObject(pi.hProcess, 5) != WAIT_TIMEOUT) return 0;
  }
}

bool report(const char* path, const std::string& lines) {
  DWORD written = 0;
  WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), lines.data(), static_cast<DWORD>(lines.size()),
            &written, nullptr);
  return rec::write_file(path, lines, false);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fputs("usage: runner REQUEST RESULT\n", stderr);
    return 2;
  }
  std::string text;
  std::vector<std::pair<std::string, std::string>> items;
  if (!rec::read_file(argv[1], text) || !rec::parse(text, items)) {
    std::fprintf(stderr, "runner: cannot read request %s\n", argv[1]);
    return 2;
  }

  std::string cmdline, cwd, watch;
  bool have_cmdline = false, have_show = false;
  unsigned long show = 0;
  std::vector<std::string> unset, set;
  for (const auto& [key, value] : items) {
    if (key == "cmdline") {
      cmdline = value;
      have_cmdline = true;
    } else if (key == "cwd") {
      cwd = value;
    } else if (key == "set" && value.find('=', 1) != std::string::npos) {
      set.push_back(value);
    } else if (key == "unset") {
      unset.push_back(value);
    } else if (key == "show" && rec::parse_u32(value, show) && show <= 0xFFFF) {
      have_show = true;
    } else if (key == "watch" && !value.empty()) {
      watch = value;
    } else {
      std::fprintf(stderr, "runner: bad request item '%s'\n", key.c_str());
      return 2;
    }
  }
  if (!have_cmdline) {
    std::fputs("runner: the request has no cmdline\n", stderr);
    return 2;
  }

  std::string env = make_env(unset, set);
  STARTUPINFOA si = {};
  si.cb = sizeof si;
  if (have_show) {
    si.dwFlags = STARTF_USESHOWWINDOW;
    si.wShowWindow = static_cast<WORD>(show);
  }
  PROCESS_INFORMATION pi = {};
  std::vector<char> line(cmdline.begin(), cmdline.end());
  line.push_back('\0');
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  // Tells the rig that the runner itself ran: a runner that Wine ended before this point never
  // started the command, and the rig may run it once more.
  if (!rec::write_file((std::string(argv[2]) + ".started").c_str(), "", false)) {
    std::fprintf(stderr, "runner: cannot write %s.started\n", argv[2]);
    return 3;
  }
  unsigned long long started = counter();
  if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, &env[0],
                      cwd.empty() ? nullptr : cwd.c_str(), &si, &pi)) {
    report(argv[2], rec::item("error", GetLastError()));
    return 100;
  }
  CloseHandle(pi.hThread);
  unsigned long long window_seen = watch.empty() ? 0 : watch_for_window(pi, watch);
  WaitForSingleObject(pi.hProcess, INFINITE);
  unsigned long long ended = counter();
  DWORD code = 0;
  GetExitCodeProcess(pi.hProcess, &code);
  CloseHandle(pi.hProcess);
  std::string lines = rec::item("exit", code) + rec::item("pid", pi.dwProcessId);
  lines += rec::item("qpc_freq", static_cast<unsigned long long>(frequency.QuadPart));
  lines += rec::item("qpc_start", started) + rec::item("qpc_end", ended);
  if (window_seen) lines += rec::item("qpc_window", window_seen);
  if (!report(argv[2], lines)) {
    std::fprintf(stderr, "runner: cannot write %s\n", argv[2]);
    return 3;
  }
  return 0;
}
