#pragma once

// Prepares a start in its fixed order. 1: ready to start Java; 0: failed, the failure fields
// say why; 183 (ERROR_ALREADY_EXISTS): another instance is running.
int setUpLaunch(const char* commandLine);
