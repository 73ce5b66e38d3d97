#pragma once

// Tells the user why the start failed: the failure text completed with the system's text for the
// last error, a message box, then the failure's web page; closes the debug log.
void reportFailure();
