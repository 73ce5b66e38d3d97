// The desk's Windows, account and session; the examined folder's files and the debug log.

#include "diagnostic/desk_facts.h"

#include <io.h>
#include <windows.h>

#include <cstdio>

#include "cmdline/options_text.h"
#include "desktop/instance_window.h"
#include "desktop/updater_command.h"
#include "diag/log_path.h"
#include "diagnostic/report.h"
#include "launch/launch_settings.h"
#include "launch/launch_state.h"
#include "launch/system_library.h"
#include "runtime/path_join.h"

// ----- Shared by the sections -----

void appendLocalTime(Text& text, const FILETIME& time) {
  SYSTEMTIME universal, local;
  if (!FileTimeToSystemTime(&time, &universal) ||
      !SystemTimeToTzSpecificLocalTime(nullptr, &universal, &local)) {
    appendText(text, "?");
    return;
  }
  char digits[32];
  int length = _snprintf(digits, sizeof digits - 1, "%02u/%02u/%04u %02u:%02u:%02u", local.wDay,
                         local.wMonth, local.wYear, local.wHour, local.wMinute, local.wSecond);
  appendText(text, std::string_view(digits, length > 0 ? size_t(length) : 0));
}

void appendByteCount(Text& text, uint64_t count) {
  char digits[32];
  int length = _snprintf(digits, sizeof digits - 1, "%I64u bytes", count);
  appendText(text, std::string_view(digits, length > 0 ? size_t(length) : 0));
}

std::string_view fileNameOf(std::string_view path) {
  size_t slash = path.rfind('\\');
  return slash == std::string_view::npos ? path : slice(path, slash + 1);
}

LONG readRegistryText(HKEY key, const char* name, Text& value) {
  DWORD type = 0;
  DWORD size = static_cast<DWORD>(textRoom(value));
  BYTE* data = reinterpret_cast<BYTE*>(value.data + value.length);
  LONG read = RegQueryValueExA(key, name, nullptr, &type, data, &size);
  if (read == ERROR_SUCCESS && type != REG_SZ && type != REG_EXPAND_SZ) read = ERROR_INVALID_DATA;
  if (read != ERROR_SUCCESS) {
    value.data[value.length] = '\0'; // whatever the call wrote stays outside the text
    return read;
  }
  while (size > 0 && data[size - 1] == '\0') // the stored terminator, if any
    --size;
  commitWritten(value, size);
  return ERROR_SUCCESS;
}

bool windowsIs64Bit() {
#ifdef _WIN64
  return true; // the 64-bit build of these sources runs on 64-bit Windows only
#else
  // Looked up by name, as the launcher does: a system without it is a 32-bit one.
  auto isWow64Process = VENDRO_BIND(GetModuleHandleA("kernel32"), IsWow64Process);
  BOOL underWow64 = FALSE;
  return isWow64Process && isWow64Process(GetCurrentProcess(), &underWow64) && underWow64;
#endif
}

// ----- Windows -----

// RtlGetVersion tells the true version; GetVersionEx tells a program without a compatibility
// manifest that it runs on Windows 8.
using RtlGetVersionFunction = LONG(WINAPI*)(OSVERSIONINFOW*);

static void reportWindows() {
  reportHeading("Windows");
  OSVERSIONINFOW version{};
  version.dwOSVersionInfoSize = sizeof version;
  auto getVersion =
      systemFunction<RtlGetVersionFunction>(GetModuleHandleA("ntdll"), "RtlGetVersion");
  bool known = getVersion && getVersion(&version) == 0;
  if (known)
    reportFormat("Versi\xF3n: %lu.%lu.%lu", version.dwMajorVersion, version.dwMinorVersion,
                 version.dwBuildNumber);
  else
    reportLine("Versi\xF3n: no se puede leer");

  HKEY key;
  LONG opened = RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion",
                              0, KEY_READ | KEY_WOW64_64KEY, &key);
  if (opened == ERROR_SUCCESS) {
    char productBuffer[512];
    Text product = textOver(productBuffer);
    bool named = readRegistryText(key, "ProductName", product) == ERROR_SUCCESS;
    if (!named) appendText(product, "?");
    const char* extras[] = {"DisplayVersion", "ReleaseId", "CSDVersion"};
    for (const char* extra : extras) {
      char valueBuffer[128];
      Text value = textOver(valueBuffer);
      if (readRegistryText(key, extra, value) != ERROR_SUCCESS || value.length == 0) continue;
      appendText(product, ", ");
      appendText(product, textView(value));
      if (extra[0] == 'D') break; // DisplayVersion replaces ReleaseId from 20H2 on
    }
    RegCloseKey(key);
    reportField("Producto", textView(product));
    if (known && version.dwMajorVersion == 10 && version.dwBuildNumber >= 22000 &&
        containsText(textView(product), "Windows 10"))
      reportLine("(Es Windows 11: el Registro lo sigue llamando Windows 10.)");
  } else {
    reportFormat("Producto: no se puede leer (error %ld)", opened);
  }
  reportField("Bits", windowsIs64Bit() ? "64 bits" : "32 bits");
}

// ----- Account and session -----

static const char* integrityName(DWORD rid) {
  if (rid < SECURITY_MANDATORY_LOW_RID) return "no fiable";
  if (rid < SECURITY_MANDATORY_MEDIUM_RID) return "baja";
  if (rid < SECURITY_MANDATORY_MEDIUM_RID + 0x100) return "media";
  if (rid < SECURITY_MANDATORY_HIGH_RID) return "media alta";
  if (rid < SECURITY_MANDATORY_SYSTEM_RID) return "alta";
  if (rid < SECURITY_MANDATORY_PROTECTED_PROCESS_RID) return "sistema";
  return "proceso protegido";
}

bool reportTokenAccount(HANDLE token) {
  alignas(8) BYTE buffer[512];
  DWORD size = 0;
  wchar_t name[256], domain[256];
  DWORD nameLength = 256, domainLength = 256;
  SID_NAME_USE use;
  if (!GetTokenInformation(token, TokenUser, buffer, sizeof buffer, &size) ||
      !LookupAccountSidW(nullptr, reinterpret_cast<TOKEN_USER*>(buffer)->User.Sid, name,
                         &nameLength, domain, &domainLength, &use))
    return false;
  if (domain[0] != L'\0') {
    reportWide(domain);
    reportRaw("\\");
  }
  reportWide(name);
  return true;
}

static void reportAccountName(HANDLE token) {
  reportRaw("Cuenta: ");
  wchar_t name[256];
  DWORD length = 256;
  if (!(token && reportTokenAccount(token))) {
    if (!GetUserNameW(name, &length)) {
      reportFormat("no se puede leer (error %lu)", GetLastError());
      return;
    }
    reportWide(name);
  }
  reportLine();
}

static void reportElevation(HANDLE token) {
  TOKEN_ELEVATION elevation{};
  TOKEN_ELEVATION_TYPE type = TokenElevationTypeDefault;
  DWORD size = 0;
  if (!token || !GetTokenInformation(token, TokenElevation, &elevation, sizeof elevation, &size)) {
    reportLine("Elevado (como administrador): no se sabe");
  } else {
    bool split = GetTokenInformation(token, TokenElevationType, &type, sizeof type, &size) &&
                 type == TokenElevationTypeLimited;
    reportFormat("Elevado (como administrador): %s%s", elevation.TokenIsElevated ? "s\xED" : "no",
                 split ? " (la cuenta es de administradores)" : "");
  }
  alignas(8) BYTE buffer[256];
  if (!token || !GetTokenInformation(token, TokenIntegrityLevel, buffer, sizeof buffer, &size)) {
    reportLine("Nivel de integridad: no se sabe");
    return;
  }
  PSID label = reinterpret_cast<TOKEN_MANDATORY_LABEL*>(buffer)->Label.Sid;
  DWORD rid = *GetSidSubAuthority(label, *GetSidSubAuthorityCount(label) - 1u);
  reportFormat("Nivel de integridad: %s (0x%04lX)", integrityName(rid), rid);
}

static void reportSession() {
  if (user32.GetSystemMetrics)
    reportField("Sesi\xF3n", user32.GetSystemMetrics(SM_REMOTESESSION)
                                 ? "remota (Escritorio remoto)"
                                 : "de la consola (en el propio equipo)");
  DWORD session = 0;
  if (ProcessIdToSessionId(GetCurrentProcessId(), &session))
    reportFormat("N\xFAmero de sesi\xF3n: %lu (la de la consola es la %lu)", session,
                 WTSGetActiveConsoleSessionId());
  char name[64];
  DWORD length = GetEnvironmentVariableA("SESSIONNAME", name, sizeof name);
  reportField("SESSIONNAME", length > 0 && length < sizeof name ? name : "(no est\xE1 definida)");
}

void reportWindowsAndAccount() {
  reportWindows();
  reportHeading("Cuenta y sesi\xF3n");
  HANDLE token = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) token = nullptr;
  reportAccountName(token);
  reportElevation(token);
  if (token) CloseHandle(token);
  reportSession();
}

// ----- The folder -----

static std::string_view directoryOf(std::string_view path) {
  size_t slash = path.rfind('\\');
  return slash == std::string_view::npos ? std::string_view() : slice(path, 0, slash);
}

// "presente, N bytes", "NO ESTÁ", or why it cannot be told, after `label`.
static void reportPresence(std::string_view label, const Text& path) {
  WIN32_FILE_ATTRIBUTE_DATA facts;
  char line[pathSize + 128];
  Text text = textOver(line);
  appendText(text, label);
  appendText(text, ": ");
  if (path.cut) {
    appendText(text, "ruta demasiado larga");
  } else if (GetFileAttributesExA(path.data, GetFileExInfoStandard, &facts)) {
    if (facts.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      appendText(text, "es una carpeta, no un fichero");
    } else {
      appendText(text, "presente, ");
      appendByteCount(text, (uint64_t(facts.nFileSizeHigh) << 32) | facts.nFileSizeLow);
    }
  } else {
    DWORD error = GetLastError();
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) {
      appendText(text, "NO EST\xC1");
    } else {
      appendText(text, "no se puede mirar (error ");
      appendDecimal(text, error);
      appendChar(text, ')');
    }
  }
  reportLine(textView(text));
}

static void reportLibraryJars(std::string_view directory) {
  char pattern[pathSize];
  Text text = textOver(pattern);
  appendText(text, directory);
  joinPath(text, "lib\\*.jar");
  struct _finddata64i32_t found;
  int count = 0;
  intptr_t listing = text.cut ? -1 : _findfirst64i32(pattern, &found);
  if (listing != -1) {
    do
      ++count;
    while (_findnext64i32(listing, &found) == 0);
    _findclose(listing);
  }
  if (count == 0) {
    reportLine("lib\\*.jar: ninguno");
    return;
  }
  reportFormat("lib\\*.jar: %d, en el orden en que entran en la ruta de clases:", count);
  listing = _findfirst64i32(pattern, &found);
  if (listing == -1) return;
  do
    reportFormat("    %s  (%lu bytes%s)", found.name, static_cast<unsigned long>(found.size),
                 (found.attrib & _A_SUBDIR) ? ", es una carpeta" : "");
  while (_findnext64i32(listing, &found) == 0);
  _findclose(listing);
}

static bool endsWithText(std::string_view name, std::string_view end) {
  if (name.size() < end.size()) return false;
  return namesSameFile(slice(name, name.size() - end.size()), end);
}

// Names like the options file that the launcher does not read: another launcher name's, and
// the ".txt" that Notepad adds where Explorer hides extensions.
static void reportOtherOptionsFiles(std::string_view directory, const char* launcherPath) {
  char optionsPath[pathSize];
  Text options = textOver(optionsPath);
  composeOptionsPath(options, launcherPath);
  std::string_view optionsName = fileNameOf(textView(options));
  char pattern[pathSize];
  Text text = textOver(pattern);
  appendText(text, directory);
  joinPath(text, "*.pmr.ini*");
  struct _finddata64i32_t found;
  intptr_t listing = text.cut ? -1 : _findfirst64i32(pattern, &found);
  int count = 0;
  if (listing != -1) {
    do {
      if ((found.attrib & _A_SUBDIR) || namesSameFile(found.name, optionsName)) continue;
      if (count++ == 0)
        reportFormat("Ficheros de opciones que Vendro NO lee (solo lee %.*s):",
                     int(optionsName.size()), optionsName.data());
      bool hidden = endsWithText(found.name, ".txt");
      reportFormat("    %s  (%lu bytes)%s", found.name, static_cast<unsigned long>(found.size),
                   hidden ? ": si el Explorador oculta las extensiones, lo muestra sin \".txt\""
                          : "");
    } while (_findnext64i32(listing, &found) == 0);
    _findclose(listing);
  }
  if (count == 0)
    reportFormat("Otros *.pmr.ini: ninguno (Vendro lee %.*s)", int(optionsName.size()),
                 optionsName.data());
}

// ----- The debug log -----

constexpr size_t logTailLimit = 64 * 1024;
static char logChunk[logTailLimit + 1];

static size_t readAt(HANDLE file, uint64_t offset, size_t count) {
  LARGE_INTEGER position;
  position.QuadPart = static_cast<LONGLONG>(offset);
  DWORD read = 0;
  if (!SetFilePointerEx(file, position, nullptr, FILE_BEGIN) ||
      !ReadFile(file, logChunk, static_cast<DWORD>(count), &read, nullptr))
    return 0;
  return read;
}

// Where the last line that starts with "Version:" begins; -1 when the log has none in its last
// 32 MB. Chunks overlap so that a line start is always seen with the byte before it.
static int64_t lastStartOffset(HANDLE file, uint64_t size) {
  constexpr std::string_view mark = "Version:";
  uint64_t end = size;
  while (end > 0 && size - end < 32u * 1024 * 1024) {
    uint64_t start = end > logTailLimit ? end - logTailLimit : 0;
    size_t count = readAt(file, start, size_t(end - start));
    std::string_view chunk(logChunk, count);
    for (size_t at = chunk.rfind(mark); at != std::string_view::npos;
         at = at == 0 ? std::string_view::npos : chunk.rfind(mark, at - 1)) {
      if (at > 0 ? chunk[at - 1] == '\n' : start == 0) return int64_t(start + at);
    }
    if (start == 0 || count == 0) break;
    end = start + mark.size();
  }
  return -1;
}

static void reportLogTail(HANDLE file, uint64_t size) {
  int64_t start = lastStartOffset(file, size);
  uint64_t from = start >= 0 ? uint64_t(start) : 0;
  bool cut = size - from > logTailLimit;
  if (cut) from = size - logTailLimit;
  size_t count = readAt(file, from, logTailLimit);
  std::string_view tail(logChunk, count);
  if (cut) tail = slice(tail, tail.find('\n') + 1); // from a whole line on
  for (size_t i = 0; i < count; ++i)
    if (logChunk[i] == '\0') logChunk[i] = ' ';
  if (start < 0)
    reportLine("No tiene ninguna l\xEDnea \"Version:\". Su final:");
  else if (cut)
    reportLine("Su \xFAltimo arranque ocupa m\xE1s de 64 KB; solo van sus \xFAltimos 64 KB:");
  else
    reportLine("Su \xFAltimo arranque, desde la l\xEDnea \"Version:\":");
  reportRaw(tail);
  if (!tail.empty() && tail.back() != '\n') reportLine();
}

static void reportDebugVariable() {
  static char value[argsSize - 1];
  DWORD length = GetEnvironmentVariableA(settings::debugVariable, value, sizeof value);
  if (length == 0 || length >= sizeof value) {
    reportFormat("Variable %s: %s", settings::debugVariable,
                 length == 0 ? "no est\xE1 definida" : "demasiado larga para leerla");
    value[0] = '\0';
  } else {
    reportFormat("Variable %s: \"%s\"", settings::debugVariable, value);
  }
  if (containsText(value, settings::debugVariableWord))
    reportFormat("Contiene \"%s\": cada arranque de Vendro escribe el log.",
                 settings::debugVariableWord);
  else
    reportFormat("No contiene \"%s\": solo escriben el log los arranques con %s.",
                 settings::debugVariableWord, settings::debugSwitch);
  // Where it is set for good: a value changed there reaches programs started afterwards.
  struct Place {
    HKEY root;
    const char* key;
    const char* name;
  } places[] = {{HKEY_CURRENT_USER, "Environment", "usuario"},
                {HKEY_LOCAL_MACHINE,
                 "SYSTEM\\CurrentControlSet\\Control\\Session Manager\\Environment", "equipo"}};
  for (const Place& place : places) {
    HKEY key;
    char stored[1024];
    Text text = textOver(stored);
    LONG read = RegOpenKeyExA(place.root, place.key, 0, KEY_READ, &key);
    if (read == ERROR_SUCCESS) {
      read = readRegistryText(key, settings::debugVariable, text);
      RegCloseKey(key);
    }
    if (read == ERROR_SUCCESS) reportFormat("    En el Registro (%s): \"%s\"", place.name, stored);
  }
}

static void reportDebugLog(std::string_view directory) {
  reportHeading("Log de depuraci\xF3n");
  reportDebugVariable();
  char logPath[logPathSize];
  Text path = textOver(logPath);
  if (!composeLogPath(path, directory)) {
    reportLine("pelmorin.log: ruta demasiado larga");
    return;
  }
  HANDLE file =
      CreateFileA(logPath, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    DWORD error = GetLastError();
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND)
      reportLine("No hay pelmorin.log en la carpeta.");
    else
      reportFormat("pelmorin.log: no se puede leer (error %lu)", error);
    return;
  }
  LARGE_INTEGER size{};
  FILETIME written{};
  GetFileSizeEx(file, &size);
  GetFileTime(file, nullptr, nullptr, &written);
  char line[128];
  Text text = textOver(line);
  appendText(text, "pelmorin.log: ");
  appendByteCount(text, static_cast<uint64_t>(size.QuadPart));
  appendText(text, ", modificado el ");
  appendLocalTime(text, written);
  reportLine(textView(text));
  reportLogTail(file, static_cast<uint64_t>(size.QuadPart));
  CloseHandle(file);
}

void reportFolderFiles(const char* launcherPath) {
  reportHeading("Carpeta de Vendro");
  std::string_view directory = directoryOf(launcherPath);
  reportField("Carpeta", directory);
  char path[pathSize];
  Text text = textOver(path);
  appendText(text, launcherPath);
  reportPresence(fileNameOf(launcherPath), text);
  text = textOver(path);
  composeUpdaterPath(text, launcherPath);
  reportPresence(settings::updaterName, text);
  reportLibraryJars(directory);
  const char* swtJars[] = {settings::swtJar32, settings::swtJar64};
  const char* swtUse[] = {" (para Java de 32 bits)", " (para Java de 64 bits)"};
  for (int i = 0; i < 2; ++i) {
    text = textOver(path);
    appendText(text, directory);
    appendText(text, swtJars[i]);
    char label[pathSize];
    Text name = textOver(label);
    appendText(name, slice(swtJars[i], 1));
    appendText(name, swtUse[i]);
    reportPresence(textView(name), text);
  }
  reportOtherOptionsFiles(directory, launcherPath);
  reportDebugLog(directory);
}
