#pragma once
// The launcher's own command-line text: what follows the program name in the process's full
// command line, derived the way the C runtime's start-up code does it.

using IsLeadByte = bool (*)(unsigned char byte);

// Passes over the program name (quoted stretches may hold blanks; a lead byte of a double-byte
// character takes the next byte with it), then over the blanks and control bytes after it.
const char* commandLineTail(const char* fullCommandLine, IsLeadByte isLeadByte);
