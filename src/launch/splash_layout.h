#pragma once
// Numbers of the splash window: how long it may stay and where it goes.

#include <cstdint>

// The timeout text read like atoi (leading blanks, a sign, digits up to the first other
// character); anything outside 1 to 900 seconds gives 60.
int32_t splashTimeoutTicks(const char* timeoutText);

// The origin that centres a window spanning low..high on a screen of `screenSize` pixels.
// Signed arithmetic, truncated toward zero like the system's own division.
inline int32_t centredOrigin(int32_t screenSize, int32_t low, int32_t high) {
  return (screenSize + low - high) / 2;
}

// Whether the splash is shown for a start with `showMode`: every mode but the hidden and the
// minimised ones (SW_HIDE, SW_SHOWMINIMIZED, SW_MINIMIZE, SW_SHOWMINNOACTIVE, SW_FORCEMINIMIZE),
// which keep it out of sight. A maximised mode shows it at its own size.
inline bool splashVisibleIn(int32_t showMode) {
  return showMode != 0 && showMode != 2 && showMode != 6 && showMode != 7 && showMode != 11;
}
