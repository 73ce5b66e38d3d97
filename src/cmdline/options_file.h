#pragma once
#include "launch/bounded_text.h"
#include "launch/launch_state.h"

// What lies beyond this point of the options text's buffer is never read from the file.
constexpr size_t optionsReadLimit = argsSize - 1024;

// Starts the options text with the fixed encoding option and adds the options of the options
// file beside the executable, when there is one. A file longer than what is read of it sets
// `cut`, and then none of its options are added.
void loadOptionsFile(Text& optionsText, const char* exePath);
