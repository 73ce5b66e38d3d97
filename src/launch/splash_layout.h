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
