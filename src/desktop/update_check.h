#pragma once
// Asking the updater beside the launcher whether an update is waiting.

// True when the updater's check run ended with exit code 2 (an update is available) within the
// check's time limit.
bool checkForUpdate();

// Offers the update; on OK starts the updater to install it and ends the process with 1. When
// the updater cannot be started, says so and returns, as it does when the offer is declined.
void offerUpdate();
