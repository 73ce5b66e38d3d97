// The desk diagnostic: examines the folder it sits in as the launcher there would start, writes
// one report for support and opens it in Notepad. It changes nothing: no instance is claimed, no
// updater or Java started, no debug log or registry value written.

#include <windows.h>

#include <cwchar>

#include "diagnostic/desk_facts.h"
#include "diagnostic/options_report.h"
#include "diagnostic/prediction.h"
#include "diagnostic/report.h"
#include "launch/bounded_text.h"
#include "launch/command_line.h"
#include "launch/launch_settings.h"
#include "launch/launch_state.h"
#include "launch/system_library.h"

constexpr size_t widePathSize = 32768; // the longest path the wide calls take

// Appends `text` to the wide path of `length` characters; false when it does not fit.
static bool appendWide(wchar_t (&path)[widePathSize], size_t& length, const wchar_t* text) {
  size_t count = wcslen(text);
  if (count >= widePathSize - length) return false;
  wmemcpy(path + length, text, count + 1);
  length += count;
  return true;
}

static bool isAnsiLeadByte(unsigned char byte) {
  return IsDBCSLeadByte(byte) != FALSE;
}

// Whether the command-line text holds the switch /q (or /Q) as a word of its own.
static bool quietSwitch(std::string_view arguments) {
  for (size_t i = 0; i + 1 < arguments.size(); ++i) {
    bool starts = i == 0 || arguments[i - 1] == ' ' || arguments[i - 1] == '\t';
    bool ends = i + 2 == arguments.size() || arguments[i + 2] == ' ' || arguments[i + 2] == '\t';
    if (starts && ends && arguments[i] == '/' && (arguments[i + 1] | 0x20) == 'q') return true;
  }
  return false;
}

static bool writeReport(const wchar_t* path) {
  HANDLE file = CreateFileW(path, GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  std::string_view text = textView(reportText());
  DWORD written = 0;
  bool whole = WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
               written == text.size();
  whole = CloseHandle(file) && whole;
  return whole;
}

// Notepad by its full path in the system folder: a notepad.exe in the examined folder or on Path
// is never the one started.
static void openInNotepad(const wchar_t* reportPath) {
  static wchar_t commandLine[widePathSize];
  size_t length = 0;
  commandLine[0] = L'"';
  UINT system = GetSystemDirectoryW(commandLine + 1, MAX_PATH);
  if (system == 0 || system >= MAX_PATH) return;
  length = 1 + system;
  if (!appendWide(commandLine, length, L"\\notepad.exe\" \"") ||
      !appendWide(commandLine, length, reportPath) || !appendWide(commandLine, length, L"\""))
    return;
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION notepad{};
  restoreDllSearchForChildren();
  if (CreateProcessW(nullptr, commandLine, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                     &notepad)) {
    CloseHandle(notepad.hThread);
    CloseHandle(notepad.hProcess);
  }
  restrictDllSearchAgain();
}

static void reportStart(const wchar_t* wideFolder, const char* launcherPath, bool ansiFolder,
                        bool launcherThere) {
  reportLine("===== Diagn\xF3stico de Vendro =====");
  SYSTEMTIME now;
  GetLocalTime(&now);
  reportFormat("Fecha: %04u-%02u-%02u %02u:%02u:%02u", now.wYear, now.wMonth, now.wDay, now.wHour,
               now.wMinute, now.wSecond);
  reportFormat("Diagn\xF3stico de Vendro %s", settings::launcherVersion);
  reportRaw("Carpeta examinada: ");
  reportWide(wideFolder);
  reportLine();
  if (!ansiFolder) {
    reportHeading("Vendro no puede arrancar desde esta carpeta");
    reportFormat("El nombre de la carpeta tiene caracteres que no existen en la p\xE1gina de "
                 "c\xF3"
                 "digos de Windows (%u). Vendro.exe, un programa ANSI, recibe la ruta con "
                 "esos caracteres cambiados por '?' o por otra letra, y con ella no encuentra sus "
                 "ficheros: ni el actualizador, ni las opciones, ni lib.",
                 GetACP());
    reportLine("Pon la carpeta en una ruta sin esos caracteres. Lo que sigue se ha calculado con "
               "esa ruta, tal como la ver\xED"
               "a Vendro.exe:");
    reportField("  Ruta", launcherPath);
  }
  if (!launcherThere) {
    reportHeading("No hay Vendro.exe en esta carpeta");
    reportField("El informe dice lo que har\xED"
                "a uno puesto aqu\xED",
                launcherPath);
  }
}

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  restrictDllSearch(); // before anything can load a DLL
  loadUser32();        // the report still gets written without windows to list
  bool quiet = quietSwitch(commandLineTail(GetCommandLineA(), isAnsiLeadByte));

  static wchar_t wideModule[widePathSize];
  DWORD wideLength = GetModuleFileNameW(nullptr, wideModule, widePathSize);
  if (wideLength == 0 || wideLength >= widePathSize) return 1;
  wchar_t* wideSlash = wcsrchr(wideModule, L'\\');
  if (wideSlash) *wideSlash = L'\0';
  const wchar_t* wideFolder = wideModule;

  // The folder as the launcher, an ANSI program, would see it.
  char ansiModule[pathSize] = "";
  DWORD ansiLength = GetModuleFileNameA(nullptr, ansiModule, pathSize);
  if (ansiLength >= pathSize) ansiLength = 0;
  ansiModule[ansiLength] = '\0';
  std::string_view module(ansiModule, ansiLength);
  size_t slash = module.rfind('\\');
  size_t folderLength = slash == std::string_view::npos ? 0 : slash;
  char launcherPath[pathSize * 2];
  Text launcher = textOver(launcherPath);
  appendText(launcher, slice(module, 0, folderLength));
  appendChar(launcher, '\\');
  appendText(launcher, settings::launcherFileName);
  static wchar_t roundTrip[widePathSize];
  int back = MultiByteToWideChar(CP_ACP, 0, ansiModule, -1, roundTrip, widePathSize);
  if (back > 0 && wideSlash) {
    wchar_t* roundSlash = wcsrchr(roundTrip, L'\\');
    if (roundSlash) *roundSlash = L'\0';
  }
  bool ansiFolder = back > 0 && wcscmp(roundTrip, wideFolder) == 0;
  DWORD attributes = GetFileAttributesA(launcherPath);
  bool launcherThere =
      attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);

  // A double click starts the launcher in its folder: its start folder (%OLDPWD%) is that one,
  // wherever this program was started from.
  wchar_t root[] = L"?:\\";
  root[0] = wideFolder[0];
  bool driveOnly = wideFolder[0] != L'\0' && wideFolder[1] == L':' && wideFolder[2] == L'\0';
  SetCurrentDirectoryW(driveOnly ? root : wideFolder); // "C:" alone is the drive's current folder
  reportStart(wideFolder, launcherPath, ansiFolder, launcherThere);
  reportWindowsAndAccount();
  if (launcher.length >= pathSize) {
    reportHeading("Vendro no arrancar\xE1");
    reportLine("La ruta de Vendro.exe no cabe en 259 caracteres: Vendro muestra el mensaje "
               "\"Pelmorin\" y no hace nada m\xE1s. Pon la carpeta en una ruta m\xE1s corta.");
  } else {
    reportPrediction(launcherPath, folderLength);
    reportOptionsFile(launcherPath, folderLength);
  }
  reportFolderFiles(launcherPath);
  reportJavaElsewhere();
  reportRunning(launcherPath);
  if (reportText().cut) {
    reportText().length -= 200; // room for the note that the report is incomplete
    reportText().data[reportText().length] = '\0';
    reportText().cut = false;
    reportLine("\r\n(El informe no cabe entero: falta el final.)");
  }
  reportLine("\r\n===== Fin del diagn\xF3stico =====");

  static wchar_t reportPath[widePathSize];
  size_t length = GetTempPathW(MAX_PATH + 1, reportPath);
  bool written = length > 0 && length <= MAX_PATH &&
                 appendWide(reportPath, length, settings::diagnosticReportName) &&
                 writeReport(reportPath);
  if (!written) {
    length = 0;
    reportPath[0] = L'\0';
    written = appendWide(reportPath, length, wideFolder) && appendWide(reportPath, length, L"\\") &&
              appendWide(reportPath, length, settings::diagnosticReportName) &&
              writeReport(reportPath);
  }
  if (quiet) return written ? 0 : 1;
  if (written)
    openInNotepad(reportPath);
  else if (user32.MessageBoxA)
    user32.MessageBoxA(nullptr,
                       "No se ha podido escribir el informe ni en la carpeta temporal ni junto "
                       "a este programa.",
                       "Diagn\xF3stico de Vendro", MB_OK | MB_ICONERROR);
  return written ? 0 : 1;
}
