// Watches for message boxes (top-level dialogs of class #32770), records each new one and
// answers it with the next of the given answers. `boxwatch.exe RECORD ANSWERS READY`; see README.md.
#include "hexrec.h"

#include <cstdio>
#include <cstring>
#include <set>
#include <string>
#include <vector>

namespace {

BOOL CALLBACK collect(HWND w, LPARAM out) {
  char cls[16];
  // A box counts once it is shown: before that its dialog is still filling in text and buttons.
  if (GetClassNameA(w, cls, sizeof cls) && std::strcmp(cls, "#32770") == 0 && IsWindowVisible(w))
    reinterpret_cast<std::vector<HWND>*>(out)->push_back(w);
  return TRUE;
}

bool has_button(HWND box, int id) { return GetDlgItem(box, id) != nullptr; }

std::string record_line(HWND box) {
  static char buf[65536];
  int n = GetWindowTextA(box, buf, sizeof buf);
  std::string caption(buf, n > 0 ? n : 0);
  UINT m = GetDlgItemTextA(box, 0xFFFF, buf, sizeof buf);
  std::string text(buf, m);
  DWORD pid = 0;
  GetWindowThreadProcessId(box, &pid);
  std::string line = "caption=" + rec::hex(caption) + " text=" + rec::hex(text);
  line += " style=" + rec::hex(rec::dec(static_cast<DWORD>(GetWindowLongA(box, GWL_STYLE))));
  line += " exstyle=" + rec::hex(rec::dec(static_cast<DWORD>(GetWindowLongA(box, GWL_EXSTYLE))));
  line += " ok=" + rec::hex(has_button(box, IDOK) ? "1" : "0");
  line += " cancel=" + rec::hex(has_button(box, IDCANCEL) ? "1" : "0");
  line += " pid=" + rec::hex(rec::dec(pid)) + "\n";
  return line;
}

std::vector<std::string> split_answers(const char* list) {
  std::vector<std::string> out;
  std::string cur;
  for (const char* p = list;; ++p) {
    if (*p == ',' || *p == '\0') {
      out.push_back(cur);
      cur.clear();
      if (!*p) break;
    } else {
      cur += *p;
    }
  }
  return out;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fputs("usage: boxwatch RECORD ANSWERS READY\n", stderr);
    return 2;
  }
  const char* record = argv[1];
  std::vector<std::string> answers = split_answers(argv[2]);
  for (const std::string& a : answers) {
    if (a != "ok" && a != "cancel") {
      std::fprintf(stderr, "boxwatch: unknown answer '%s'\n", a.c_str());
      return 2;
    }
  }
  std::string stop = std::string(record) + ".stop";

  std::set<HWND> seen;
  size_t next = 0;
  bool ready = false;
  while (GetFileAttributesA(stop.c_str()) == INVALID_FILE_ATTRIBUTES) {
    std::vector<HWND> boxes;
    EnumWindows(collect, reinterpret_cast<LPARAM>(&boxes));
    // Forget boxes that are gone, so a reused handle is taken as a new box.
    std::set<HWND> still(boxes.begin(), boxes.end());
    for (auto it = seen.begin(); it != seen.end();) it = still.count(*it) ? ++it : seen.erase(it);

    for (HWND box : boxes) {
      if (!seen.insert(box).second) continue;
      if (!rec::write_file(record, record_line(box), true)) {
        std::fprintf(stderr, "boxwatch: cannot write %s\n", record);
        return 3;
      }
      const std::string& answer = answers[next < answers.size() ? next : answers.size() - 1];
      ++next;
      PostMessageA(box, WM_COMMAND, answer == "ok" ? IDOK : IDCANCEL, 0);
    }
    if (!ready) {
      if (!rec::write_file(argv[3], "", false)) {
        std::fprintf(stderr, "boxwatch: cannot write %s\n", argv[3]);
        return 3;
      }
      ready = true;
    }
    Sleep(50);
  }
  return 0;
}
