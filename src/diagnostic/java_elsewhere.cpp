// Java runtimes registered where the launcher does not look: the JavaSoft keys of Java 9 and
// later, and the keys the OpenJDK distributions' installers write. Read only; every key is opened
// with KEY_READ.

#include <windows.h>

#include "diagnostic/desk_facts.h"
#include "diagnostic/report.h"
#include "launch/launch_settings.h"
#include "launch/launch_state.h"
#include "runtime/path_join.h"

namespace {

// A key under which an installer registers one sub-key per version. The JavaSoft keys hold the
// folder in the version key; the Eclipse Adoptium installer in "<version>\<JVM>\MSI", value
// Path, below its vendor's name: Temurin's (and, in earlier releases, AdoptOpenJDK's and the
// Eclipse Foundation's), and the Microsoft Build of OpenJDK's, which is made with it.
struct JavaKey {
  const char* maker;
  const char* path;
  const char* value;
  bool perJvm;
};

constexpr JavaKey javaKeys[] = {
    {"JavaSoft, Java 9 o posterior", "SOFTWARE\\JavaSoft\\JRE", "JavaHome", false},
    {"JavaSoft, Java 9 o posterior", "SOFTWARE\\JavaSoft\\JDK", "JavaHome", false},
    {"Eclipse Temurin", "SOFTWARE\\Eclipse Adoptium\\JRE", "Path", true},
    {"Eclipse Temurin", "SOFTWARE\\Eclipse Adoptium\\JDK", "Path", true},
    {"Eclipse Temurin", "SOFTWARE\\Eclipse Foundation\\JRE", "Path", true},
    {"Eclipse Temurin", "SOFTWARE\\Eclipse Foundation\\JDK", "Path", true},
    {"AdoptOpenJDK", "SOFTWARE\\AdoptOpenJDK\\JRE", "Path", true},
    {"AdoptOpenJDK", "SOFTWARE\\AdoptOpenJDK\\JDK", "Path", true},
    {"Microsoft Build of OpenJDK", "SOFTWARE\\Microsoft\\JDK", "Path", true},
};

// Where the keys are read: each registry view of the machine, and the account's own keys (an
// installation made for this account alone).
struct Place {
  HKEY root;
  REGSAM view;
  const char* name;
};

int installationsFound;
char lastFolder[pathSize]; // Oracle registers one installation as "11" and as "11.0.2"

// The processor a program file is made for, from its PE header.
const char* programBits(const char* path) {
  HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return "no se puede leer";
  static unsigned char header[4096];
  DWORD read = 0;
  if (!ReadFile(file, header, sizeof header, &read, nullptr)) read = 0;
  CloseHandle(file);
  DWORD pe = read >= 0x40 ? *reinterpret_cast<DWORD*>(header + 0x3C) : 0;
  if (read < 0x40 || header[0] != 'M' || header[1] != 'Z' || pe > read - 6 || header[pe] != 'P' ||
      header[pe + 1] != 'E' || header[pe + 2] != 0 || header[pe + 3] != 0)
    return "pero no es un programa de Windows";
  switch (header[pe + 4] | header[pe + 5] << 8) {
  case IMAGE_FILE_MACHINE_I386:
    return "de 32 bits";
  case IMAGE_FILE_MACHINE_AMD64:
    return "de 64 bits";
  case 0xAA64: // IMAGE_FILE_MACHINE_ARM64
    return "de 64 bits para ARM";
  default:
    return "pero es para otro procesador";
  }
}

void reportInstallation(const Place& place, const JavaKey& javaKey, std::string_view keyPath,
                        std::string_view version, HKEY versionKey) {
  char folder[pathSize];
  Text home = textOver(folder);
  LONG read = readRegistryText(versionKey, javaKey.value, home);
  ++installationsFound;
  reportFormat("%s %.*s, %s", javaKey.maker, int(version.size()), version.data(), place.name);
  reportFormat("    Clave: %s\\%.*s, valor %s", place.root == HKEY_CURRENT_USER ? "HKCU" : "HKLM",
               int(keyPath.size()), keyPath.data(), javaKey.value);
  if (read != ERROR_SUCCESS) {
    reportFormat("    Carpeta: no se puede leer (error %ld)", read);
    return;
  }
  reportFormat("    Carpeta: %s%s", home.length ? folder : "(vac\xEDo)",
               home.length && lstrcmpiA(folder, lastFolder) == 0 ? " (la misma de antes)" : "");
  copyText(lastFolder, textView(home));
  if (home.length == 0) return;
  if (!appendLauncherName(home)) {
    reportLine("    bin\\javaw.exe: ruta demasiado larga");
    return;
  }
  DWORD attributes = GetFileAttributesA(folder);
  bool present = attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
  reportFormat("    %s: %s%s", settings::javaLauncherName, present ? "est\xE1, " : "NO EST\xC1",
               present ? programBits(folder) : "");
}

// One search key in one place: every version it holds.
void scanJavaKey(const Place& place, const JavaKey& javaKey) {
  HKEY searchKey;
  LONG opened = RegOpenKeyExA(place.root, javaKey.path, 0, KEY_READ | place.view, &searchKey);
  if (opened == ERROR_FILE_NOT_FOUND) return;
  if (opened != ERROR_SUCCESS) {
    reportFormat("%s, %s: no se puede leer (error %ld)", javaKey.path, place.name, opened);
    return;
  }
  for (DWORD index = 0;; ++index) {
    char version[versionSize];
    DWORD versionLength = sizeof version;
    if (RegEnumKeyExA(searchKey, index, version, &versionLength, nullptr, nullptr, nullptr,
                      nullptr) != ERROR_SUCCESS)
      break;
    char keyText[pathSize];
    Text keyPath = textOver(keyText);
    joinPath(keyPath, javaKey.path);
    joinPath(keyPath, version);
    HKEY versionKey;
    if (RegOpenKeyExA(searchKey, version, 0, KEY_READ | place.view, &versionKey) != ERROR_SUCCESS)
      continue;
    if (!javaKey.perJvm) {
      reportInstallation(place, javaKey, textView(keyPath), version, versionKey);
    } else {
      for (DWORD jvmIndex = 0;; ++jvmIndex) {
        char jvm[64];
        DWORD jvmLength = sizeof jvm;
        if (RegEnumKeyExA(versionKey, jvmIndex, jvm, &jvmLength, nullptr, nullptr, nullptr,
                          nullptr) != ERROR_SUCCESS)
          break;
        char msiText[pathSize];
        Text msiPath = textOver(msiText);
        joinPath(msiPath, jvm);
        joinPath(msiPath, "MSI");
        HKEY msiKey;
        if (RegOpenKeyExA(versionKey, msiText, 0, KEY_READ | place.view, &msiKey) != ERROR_SUCCESS)
          continue;
        Text fullPath = textAfter(keyText);
        joinPath(fullPath, msiText);
        char label[versionSize + 80];
        Text versionLabel = textOver(label);
        appendText(versionLabel, version);
        appendText(versionLabel, " (");
        appendText(versionLabel, jvm);
        appendChar(versionLabel, ')');
        reportInstallation(place, javaKey, textView(fullPath), textView(versionLabel), msiKey);
        RegCloseKey(msiKey);
        keyText[keyPath.length] = '\0'; // back to the version key
      }
    }
    RegCloseKey(versionKey);
  }
  RegCloseKey(searchKey);
}

void reportHowToRegister(bool is64) {
  reportLine();
  reportLine("Para que Vendro use uno de ellos, reg\xEDstralo (como administrador) en la clave de "
             "entornos que Vendro s\xED lee:");
  reportFormat("    HKEY_LOCAL_MACHINE\\%s\\<versi\xF3n>, valor de texto JavaHome = su carpeta "
               "(la que tiene %s).",
               settings::javaSoftRuntimeKey, settings::javaLauncherName);
  if (is64)
    reportLine("Un Java de 32 bits va en la vista de 32 bits (SOFTWARE\\Wow6432Node\\...), la que "
               "Vendro mira primero; uno de 64 bits, en la de 64 bits. La vista decide tambi\xE9n "
               "la biblioteca SWT que se usa.");
  else
    reportLine("Este Windows es de 32 bits: una sola vista, y solo sirve un Java de 32 bits.");
  reportFormat("Un kit (JDK) de Java 9 o posterior no tiene carpeta jre: reg\xEDstralo con su "
               "propia carpeta en esa clave, no en %s, donde Vendro buscar\xED"
               "a jre\\%s.",
               settings::javaSoftKitKey, settings::javaLauncherName);
}

} // namespace

void reportJavaElsewhere() {
  reportHeading("Java que Vendro no busca");
  bool is64 = state.underWow64; // set by the Windows section
  const Place machine64[] = {{HKEY_LOCAL_MACHINE, KEY_WOW64_32KEY, "vista de 32 bits"},
                             {HKEY_LOCAL_MACHINE, KEY_WOW64_64KEY, "vista de 64 bits"},
                             {HKEY_CURRENT_USER, 0, "solo para esta cuenta (HKCU)"}};
  const Place machine32[] = {{HKEY_LOCAL_MACHINE, 0, "Windows de 32 bits"},
                             {HKEY_CURRENT_USER, 0, "solo para esta cuenta (HKCU)"}};
  installationsFound = 0;
  lastFolder[0] = '\0';
  for (const JavaKey& javaKey : javaKeys) {
    if (is64)
      for (const Place& place : machine64)
        scanJavaKey(place, javaKey);
    else
      for (const Place& place : machine32)
        scanJavaKey(place, javaKey);
  }
  if (installationsFound == 0) {
    reportLine("Ninguno: no hay Java registrado en claves que Vendro no lee.");
    return;
  }
  reportHowToRegister(is64);
}
