#pragma once
// Everything the launcher is told at build time. Re-branding the launcher means editing this file
// only. User-visible texts are code page 1252 bytes ("\xF3" is 'ó').

#include <cstdint>

#include "vendro_version.h"

namespace settings {

// The version is not written here: it is project()'s in the top CMakeLists.txt ("3.8"), which the
// version resource and the manifest carry too.
inline constexpr const char* launcherVersion = VENDRO_VERSION_TEXT;

// Debug log
inline constexpr const char* debugSwitch = "--pmr-debug"; // "--pmr-debug-all" contains it
inline constexpr const char* debugVariable = "Pelmorin";
inline constexpr const char* debugVariableWord = "debug";
inline constexpr const char* debugLogName = "\\pelmorin.log";

// Splash
inline constexpr const char* noSplashSwitch = "--pmr-no-splash";
inline constexpr int splashBitmapId = 131;
inline constexpr int splashAwaitsWindow = 1;
inline constexpr const char* splashTimeoutText = ""; // empty: the default of 60 seconds

// Single instance: the mutex name and the text searched for in window titles
inline constexpr const char* instanceName = "Vendro";
// Told when the running application shows no window at all (its caption is instanceName).
inline constexpr const char* noWindowText =
    "Vendro ya se est\xE1 ejecutando, pero no muestra ninguna ventana. Espera un momento; si sigue "
    "sin aparecer, cierra javaw.exe en el Administrador de tareas o cierra la sesi\xF3n de Windows "
    "y vuelve a entrar.";

// Failure reporting
inline constexpr const char* initialFailureTitle = "Pelmorin";
inline constexpr const char* failureTitle = "Vendro ERROR";
inline constexpr const char* generalFailureText = "Error al iniciar la aplicaci\xF3n";
inline constexpr const char* makerUrl = "https://www.tramontel.es/";

// Runtime discovery
inline constexpr const char* minJavaVersion = "1.7.0";
inline constexpr const char* javaSoftKitKey = "SOFTWARE\\JavaSoft\\Java Development Kit";
inline constexpr const char* javaSoftRuntimeKey = "SOFTWARE\\JavaSoft\\Java Runtime Environment";
inline constexpr const char* ibmKitKey = "SOFTWARE\\IBM\\Java Development Kit";
inline constexpr const char* ibmRuntimeKey = "SOFTWARE\\IBM\\Java2 Runtime Environment";
inline constexpr const char* javaLauncherName = "bin\\javaw.exe";
inline constexpr const char* invalidJavaText = "Versi\xF3n de Java no v\xE1lida";
inline constexpr const char* javaDownloadUrl = "https://www.java.com/es/download/";

// Java command line
inline constexpr const char* fixedJavaOption = "-Dfile.encoding=UTF-8";
inline constexpr const char* optionsFileSuffix = "pmr.ini"; // replaces the "exe" of the name
inline constexpr const char* classPath = "%EXEDIR%\\lib\\*.jar";
inline constexpr const char* swtJar64 = "\\swt\\org.eclipse.swt.win32.win32.x86_64-4.4.jar";
inline constexpr const char* swtJar32 = "\\swt\\org.eclipse.swt.win32.win32.x86-4.4.jar";
inline constexpr const char* mainClass = "es.tramontel.ventalia.IniciarVentalia";
inline constexpr const char* applicationArgs = "";
// Tab-separated NAME=VALUE entries set in the environment of the Java process.
inline constexpr const char* environmentSettings = "";
inline constexpr uint32_t processPriority = 0x80; // HIGH_PRIORITY_CLASS

// Update check
inline constexpr const char* updaterName = "wyUpdate.exe";
// /noerr: a check that fails (no network, a proxy, the server down) ends quietly instead of
// waiting for the cashier in the updater's own error window.
inline constexpr const char* updaterCheckArgs = " /quickcheck /justcheck /noerr";
// Past this the start goes on as after a check without update.
inline constexpr unsigned updateCheckMilliseconds = 20000;
inline constexpr const char* updateOfferText =
    "Hay una actualizaci\xF3n disponible. Pulsa OK para instalarla.";
inline constexpr const char* updateOfferTitle = "Actualizaci\xF3n";
inline constexpr const char* updaterErrorText = "Error al actualizar la aplicaci\xF3n (wyUpdate).";
inline constexpr const char* updaterErrorTitle = "Error...";

// Desk diagnostic: the launcher it examines in its own folder, and the report it writes
inline constexpr const char* launcherFileName = "Vendro.exe";
inline constexpr const wchar_t* diagnosticReportName = L"diagnostico-vendro.txt";

} // namespace settings
