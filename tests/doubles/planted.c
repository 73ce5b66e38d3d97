/* A DLL that does nothing, planted beside a program under the name of a system DLL to see
   whether the program loads it. It exports nothing, so a program that really uses it fails. */
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
  (void)instance;
  (void)reason;
  (void)reserved;
  return TRUE;
}
