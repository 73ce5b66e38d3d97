#pragma once
// One copy of the application per session: a named mutex marks the running copy.

// 1: go on; 0: another instance holds the name. The handle is inheritable and never closed, so
// the Java process keeps the name taken after the launcher has ended.
int claimInstanceMutex();

// Keeps the mutex from being inherited by programs started from now on (a web browser opened
// after a failure would otherwise hold the name until it closes).
void stopInstanceInheritance();

// The first top-level window, from the top of the Z order, whose title contains "Vendro".
struct HWND__;
HWND__* findInstanceWindow();
