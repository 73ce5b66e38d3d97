#pragma once

// Completes the failure text with the system's text for the thread's last error code (read
// first), logging both; shows nothing. The desk diagnostic predicts a start's box with it.
void completeFailureText();

// Tells the user why the start failed: the failure text completed as above, a message box, then
// the failure's web page; closes the debug log.
void reportFailure();
