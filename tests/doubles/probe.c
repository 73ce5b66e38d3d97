/* The probe: what a test needs done inside Windows that the stand-ins do not do.

   probe box STYLE CAPTION TEXT    -> exits with MessageBoxA's answer
   probe url ADDRESS               -> ShellExecuteA "open"; exits 0 when the shell accepted it
   probe start COMMAND-LINE        -> CreateProcessA without waiting; exits 0 when it started
   probe errors FILE FIRST LAST    -> writes `CODE=HEX` of every system text FIRST..LAST has,
                                      as FormatMessageA gives it to the launcher's failure report
   probe windows FILE              -> writes one line per top-level window, top of the Z order
                                      first: handle, process, class, title, styles, rectangle,
                                      and whether it is the foreground window
   probe lockkey KEY VIEW          -> gives HKLM\KEY (VIEW 32 or 64) an empty access list, so
                                      that nobody can open it (until the Wine server restarts)
*/
#include <windows.h>
#include <sddl.h>
#include <shellapi.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>


static int errors(const char *path, unsigned long first, unsigned long last) {
  FILE *out = fopen(path, "wb");
  if (!out) return 3;
  for (unsigned long code = first; code <= last; ++code) {
    char *text = NULL;
    DWORD n = FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_IGNORE_INSERTS |
                             FORMAT_MESSAGE_FROM_SYSTEM, NULL, code, 0x0400, (char *)&text, 0,
                             NULL);
    if (n) {
      fprintf(out, "%lu=", code);
      for (DWORD i = 0; i < n; ++i) fprintf(out, "%02x", (unsigned char)text[i]);
      fputc('\n', out);
    }
    if (text) LocalFree(text);
  }
  return fclose(out) == 0 ? 0 : 3;
}

/* One `key=HEX ` item of a window line; numbers as the hex of their decimal text. */
static void pair(FILE *out, const char *key, const char *value, int length) {
  fprintf(out, "%s=", key);
  for (int i = 0; i < length; ++i) fprintf(out, "%02x", (unsigned char)value[i]);
  fputc(' ', out);
}

static void number(FILE *out, const char *key, long long value) {
  char text[24];
  pair(out, key, text, sprintf(text, "%lld", value));
}

static BOOL CALLBACK list_window(HWND w, LPARAM to) {
  FILE *out = (FILE *)to;
  char text[1024];
  DWORD pid = 0;
  RECT r;
  GetWindowThreadProcessId(w, &pid);
  GetWindowRect(w, &r);
  number(out, "hwnd", (long long)(UINT_PTR)w);
  number(out, "pid", pid);
  pair(out, "class", text, GetClassNameA(w, text, sizeof text));
  pair(out, "title", text, GetWindowTextA(w, text, sizeof text));
  number(out, "style", (DWORD)GetWindowLongA(w, GWL_STYLE));
  number(out, "exstyle", (DWORD)GetWindowLongA(w, GWL_EXSTYLE));
  number(out, "left", r.left);
  number(out, "top", r.top);
  number(out, "right", r.right);
  number(out, "bottom", r.bottom);
  number(out, "foreground", w == GetForegroundWindow());
  fputc('\n', out);
  return TRUE;
}

static int windows(const char *path) {
  FILE *out = fopen(path, "wb");
  if (!out) return 3;
  EnumWindows(list_window, (LPARAM)out);
  return fclose(out) == 0 ? 0 : 3;
}

static int lock_key(const char *key, const char *view) {
  HKEY opened;
  REGSAM bits = strcmp(view, "64") == 0 ? KEY_WOW64_64KEY : KEY_WOW64_32KEY;
  LONG error = RegOpenKeyExA(HKEY_LOCAL_MACHINE, key, 0, WRITE_DAC | bits, &opened);
  if (error != ERROR_SUCCESS) return 1000 + (int)error;
  PSECURITY_DESCRIPTOR empty = NULL;
  if (!ConvertStringSecurityDescriptorToSecurityDescriptorA("D:", SDDL_REVISION_1, &empty, NULL))
    return 1000 + (int)GetLastError();
  error = RegSetKeySecurity(opened, DACL_SECURITY_INFORMATION, empty);
  RegCloseKey(opened);
  return error == ERROR_SUCCESS ? 0 : 1000 + (int)error;
}

int main(int argc, char **argv) {
  if (argc == 5 && strcmp(argv[1], "box") == 0)
    return MessageBoxA(NULL, argv[4], argv[3], (UINT)strtoul(argv[2], NULL, 10));
  if (argc == 3 && strcmp(argv[1], "url") == 0) {
    INT_PTR r = (INT_PTR)ShellExecuteA(NULL, "open", argv[2], NULL, NULL, SW_SHOWNORMAL);
    return r > 32 ? 0 : 1000 + (int)r;
  }
  if (argc == 3 && strcmp(argv[1], "start") == 0) {
    STARTUPINFOA si;
    memset(&si, 0, sizeof si);
    si.cb = sizeof si;
    PROCESS_INFORMATION pi;
    if (!CreateProcessA(NULL, argv[2], NULL, NULL, FALSE, 0, NULL, NULL, &si, &pi))
      return 1000 + (int)GetLastError();
    return 0;
  }
  if (argc == 5 && strcmp(argv[1], "errors") == 0)
    return errors(argv[2], strtoul(argv[3], NULL, 10), strtoul(argv[4], NULL, 10));
  if (argc == 3 && strcmp(argv[1], "windows") == 0) return windows(argv[2]);
  if (argc == 4 && strcmp(argv[1], "lockkey") == 0) return lock_key(argv[2], argv[3]);
  if (argc == 4 && strcmp(argv[1], "hold") == 0) {
    /* Opens (creates) the file sharing nothing, says so by a second file, keeps it MS ms. */
    HANDLE file = CreateFileA(argv[2], GENERIC_READ | GENERIC_WRITE, 0, NULL, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE) return 1000 + (int)GetLastError();
    char ready[MAX_PATH + 8];
    snprintf(ready, sizeof ready, "%s.held", argv[2]);
    FILE *mark = fopen(ready, "wb");
    if (mark) fclose(mark);
    Sleep((DWORD)strtoul(argv[3], NULL, 10));
    CloseHandle(file);
    return 0;
  }
  return 2;
}
