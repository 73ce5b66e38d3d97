#pragma once
// Reaching system DLLs without ever loading a copy planted beside the launcher (a downloads
// folder, a writable share): the DLL search is restricted to the system directory before any
// other work, and the shell and COM, with the many DLLs they pull in, are loaded by full path
// only when a web page or the updater is opened.

// Limits the process's DLL search to the system directory, where the system knows how.
void restrictDllSearch();

// Opens `target` (a web address, or a program to start) through the shell with `verb` (nullptr:
// the default verb) and waits until the shell has handed it over. False when it could not.
bool shellOpen(const char* verb, const char* target);
