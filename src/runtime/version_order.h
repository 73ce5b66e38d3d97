#pragma once
#include <string_view>

// Version names (registry key names such as 1.8.0_45) in byte order: unsigned bytes compared from
// the first, a proper prefix being the smaller. Digits are deliberately not read as numbers, so
// 1.8.0_101 sorts below 1.8.0_45, as installed desks have always ranked their runtimes.
int compareVersions(std::string_view a, std::string_view b);
