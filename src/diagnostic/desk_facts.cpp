// The desk's Windows, account and session, and helpers the report's sections share.

#include "diagnostic/desk_facts.h"

#include <io.h>
#include <windows.h>

#include <cstdio>

#include "cmdline/options_text.h"
#include "desktop/instance_window.h"
#include "desktop/updater_command.h"
#include "diag/debug_log.h"
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
  detectWow64(); // the launcher's own test, which the later sections read from the state
  reportField("Bits", state.underWow64 ? "64 bits" : "32 bits");
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
