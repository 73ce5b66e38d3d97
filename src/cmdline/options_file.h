#pragma once
#include "launch/bounded_text.h"

// Starts the options text with the fixed encoding option and adds the options of the options
// file beside the executable, when there is one.
void loadOptionsFile(Text& optionsText, const char* exePath);
