#pragma once
// The diagnostic's debug log: the launcher's own code writes its log lines through logLine, and
// here they are kept in memory for the report instead of going to pelmorin.log.

#include <string_view>

// The lines written since the last clear, with their line feeds.
std::string_view capturedLog();
void clearCapturedLog();
