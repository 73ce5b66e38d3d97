#pragma once
// The desk around the launcher, for the diagnostic's report: what the launcher's own judgement
// does not show. Each function writes its sections through the report API and changes nothing:
// it reads the registry and files, asks whether the instance name is taken, and lists processes
// and windows.
//
//   reportWindowsAndAccount  "Windows": the true version (RtlGetVersion, which does not lie to a
//                            program without a compatibility manifest), the product name from the
//                            registry, 32 or 64 bits. "Cuenta y sesión": the account, elevation
//                            and integrity level, console or remote session, session id.
//   reportFolderFiles        "Carpeta de Vendro": the launcher, the updater, lib\*.jar in listing
//                            order, the two SWT jars, options files the launcher does not read.
//                            "Log de depuración": the Pelmorin variable and the last start of
//                            pelmorin.log.
//   reportJavaElsewhere      "Java que Vendro no busca": runtimes registered under keys the
//                            launcher does not read (Java 9 and later, OpenJDK distributions),
//                            and how to make one visible to it.
//   reportRunning            "Programas en marcha": whether the instance name is taken, the
//                            running launcher, Java and updater processes with their windows, and
//                            other programs' windows titled like the product.
//
// user32 functions come from the launcher's table: loadUser32() must have been called.

#include <windows.h>

#include "launch/bounded_text.h"

void reportWindowsAndAccount();

// `launcherPath`: the ANSI path of the launcher in the examined folder (it may not exist).
void reportFolderFiles(const char* launcherPath);

void reportJavaElsewhere();

// `launcherPath`: as for reportFolderFiles; only its file name is used, to find running copies.
void reportRunning(const char* launcherPath);

// Shared by the sections.

// A system time as the desk's local "dd/mm/aaaa hh:mm:ss".
void appendLocalTime(Text& text, const FILETIME& time);

// A byte count as "N bytes".
void appendByteCount(Text& text, uint64_t count);

// Appends the text value `name` of an open key (REG_SZ or REG_EXPAND_SZ, unexpanded, its
// terminator left out). ERROR_SUCCESS, the registry's error (2: absent; 234: longer than the
// room left), or ERROR_INVALID_DATA for a value of another type; nothing is appended then.
LONG readRegistryText(HKEY key, const char* name, Text& value);

// Writes the account of an access token as DOMAIN\name, without a line end; false, with
// nothing written, when it cannot be read.
bool reportTokenAccount(HANDLE token);
