#include "launch/splash_layout.h"

int32_t splashTimeoutTicks(const char* timeoutText) {
  const char* p = timeoutText;
  while (*p == ' ' || (*p >= '\t' && *p <= '\r'))
    ++p;
  bool negative = *p == '-';
  if (*p == '-' || *p == '+') ++p;
  int64_t value = 0;
  while (*p >= '0' && *p <= '9' && value <= 900) // past 900 the exact value no longer matters
    value = value * 10 + (*p++ - '0');
  if (negative) value = -value;
  return value >= 1 && value <= 900 ? static_cast<int32_t>(value) : 60;
}
