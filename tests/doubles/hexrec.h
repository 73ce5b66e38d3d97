// Record and request files of the test doubles: one `key=HEX` item per line, LF endings,
// HEX being the lowercase hex of the value's raw bytes; numbers go in as decimal text.
#pragma once

#include <windows.h>

#include <string>
#include <utility>
#include <vector>

namespace rec {

inline std::string hex(const std::string& bytes) {
  static const char digits[] = "0123456789abcdef";
  std::string out;
  out.reserve(bytes.size() * 2);
  for (unsigned char c : bytes) {
    out += digits[c >> 4];
    out += digits[c & 15];
  }
  return out;
}

inline std::string dec(unsigned long long n) {
  std::string out;
  do {
    out.insert(out.begin(), static_cast<char>('0' + n % 10));
    n /= 10;
  } while (n);
  return out;
}

inline std::string item(const char* key, const std::string& value) {
  return std::string(key) + "=" + hex(value) + "\n";
}

inline std::string item(const char* key, unsigned long long n) { return item(key, dec(n)); }

// Decodes one HEX value; false on odd length or a non-hex digit.
inline bool unhex(const std::string& text, std::string& out) {
  auto nibble = [](char c) -> int {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
  };
  if (text.size() % 2) return false;
  out.clear();
  for (size_t i = 0; i < text.size(); i += 2) {
    int hi = nibble(text[i]), lo = nibble(text[i + 1]);
    if (hi < 0 || lo < 0) return false;
    out += static_cast<char>(hi << 4 | lo);
  }
  return true;
}

// Parses a whole file of `key=HEX` lines; false on a malformed line.
inline bool parse(const std::string& text, std::vector<std::pair<std::string, std::string>>& items) {
  size_t pos = 0;
  while (pos < text.size()) {
    size_t end = text.find('\n', pos);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(pos, end - pos);
    pos = end + 1;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty()) continue;
    size_t eq = line.find('=');
    if (eq == std::string::npos) return false;
    std::string value;
    if (!unhex(line.substr(eq + 1), value)) return false;
    items.emplace_back(line.substr(0, eq), value);
  }
  return true;
}

// Creates or truncates PATH and writes DATA (append=false), or adds DATA at its end in one
// write so that concurrent starts do not interleave their lines (append=true).
inline bool write_file(const char* path, const std::string& data, bool append) {
  HANDLE f = CreateFileA(path, append ? FILE_APPEND_DATA : GENERIC_WRITE,
                         FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                         append ? OPEN_ALWAYS : CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (f == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  BOOL ok = data.empty() || WriteFile(f, data.data(), static_cast<DWORD>(data.size()), &written, nullptr);
  CloseHandle(f);
  return ok && written == data.size();
}

inline bool read_file(const char* path, std::string& out) {
  HANDLE f = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                         nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (f == INVALID_HANDLE_VALUE) return false;
  out.clear();
  char buf[4096];
  DWORD got = 0;
  while (ReadFile(f, buf, sizeof buf, &got, nullptr) && got > 0) out.append(buf, got);
  CloseHandle(f);
  return true;
}

// Value of an environment variable; false when it is not set (an empty value is set).
inline bool getenv(const char* name, std::string& out) {
  out.clear();
  DWORD need = GetEnvironmentVariableA(name, nullptr, 0);  // counts the NUL, so 1 when empty
  if (need == 0) return false;
  out.assign(need, '\0');
  DWORD got = GetEnvironmentVariableA(name, &out[0], need);
  out.resize(got < need ? got : 0);
  return true;
}

// The command line after the program's own name (argument zero) and the blanks that follow it.
inline const char* after_program(const char* cmdline) {
  const char* p = cmdline;
  if (*p == '"') {
    ++p;
    while (*p && *p != '"') ++p;
    if (*p) ++p;
  } else {
    while (*p && *p != ' ' && *p != '\t') ++p;
  }
  while (*p == ' ' || *p == '\t') ++p;
  return p;
}

// Parses an unsigned 32-bit decimal number; false on anything else.
inline bool parse_u32(const std::string& text, unsigned long& out) {
  if (text.empty() || text.size() > 10) return false;
  unsigned long long n = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    n = n * 10 + (c - '0');
  }
  if (n > 0xFFFFFFFFull) return false;
  out = static_cast<unsigned long>(n);
  return true;
}

}  // namespace rec
