#pragma once
// One copy of the application per session: a named mutex marks the running copy.

// 1: go on; 0: another instance holds the name. The launcher's handle is never closed and never
// inherited: programs it starts (the updater, a browser) do not hold the name.
int claimInstanceMutex();

// Gives the Java process, just created, a handle of its own to the mutex, so that the name stays
// taken for as long as it runs, after the launcher has ended. Not inheritable there either: what
// the Java program starts in turn (a PDF reader, a card terminal's helper) does not keep the
// application from starting again once it has ended.
void shareInstanceWith(void* javaProcess);

// Brings the running application's window forward: the first visible top-level window, from the
// top of the Z order, whose title contains "Vendro" and whose process runs the Java launcher
// (javaw.exe); restored when it is minimised. Without one nothing is activated: another
// program's window named like the product (its folder open in Explorer) is never raised. When no
// Java launcher shows any window and the application is not starting, a box says so.
void activateInstanceWindow();
