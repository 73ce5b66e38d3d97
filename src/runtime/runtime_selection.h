#pragma once
// Choosing the Java runtime to start, or explaining in Spanish why there is none.

// 1: a runtime was found and javaExePath holds its home directory; 0: failureText and failureUrl
// explain that none was found.
int selectRuntime();
