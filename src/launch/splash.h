#pragma once
// The splash picture shown, centred, until the Java program's first window appears.

#include <windows.h>

// Shows the splash unless "--pmr-no-splash" is in the command line. 0 when the picture did not
// load; a splash window the system refuses to create just means a start without splash.
int showSplash(const char* commandLine, HINSTANCE instance, int showMode);

// The splash's share of each supervision tick: count down, or look for the Java window.
void splashTick();
