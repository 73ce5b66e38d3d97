#include "launch/splash.h"

#include "launch/bounded_text.h"
#include "launch/launch_settings.h"
#include "launch/launch_state.h"
#include "launch/splash_layout.h"

static void hideSplash() {
  state.splashShown = 0;
  ShowWindow(static_cast<HWND>(state.splashWnd), SW_HIDE);
}

int showSplash(const char* commandLine, HINSTANCE instance, int showMode) {
  state.splashShown = !containsText(commandLine, settings::noSplashSwitch);
  if (!state.splashShown) return 1;
  HWND window = CreateWindowExA(WS_EX_TOOLWINDOW, "STATIC", "", WS_POPUP | SS_BITMAP, 0, 0,
                                CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, instance, nullptr);
  if (!window) {
    state.splashShown = 0; // the application matters more than the picture
    return 1;
  }
  state.splashWnd = window;
  state.splashSecondsLeft = splashTimeoutTicks(settings::splashTimeoutText);
  state.splashAwaitWindow = settings::splashAwaitsWindow;
  HANDLE picture = LoadImageA(instance, MAKEINTRESOURCEA(settings::splashBitmapId), IMAGE_BITMAP, 0,
                              0, LR_DEFAULTSIZE);
  if (!picture) return 0;
  SendMessageA(window, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(picture));
  RECT frame{};
  if (!GetWindowRect(window, &frame)) frame = RECT{}; // centre a point rather than read garbage
  int x = centredOrigin(GetSystemMetrics(SM_CXSCREEN), frame.left, frame.right);
  int y = centredOrigin(GetSystemMetrics(SM_CYSCREEN), frame.top, frame.bottom);
  SetWindowPos(window, HWND_TOP, x, y, 0, 0, SWP_NOSIZE);
  ShowWindow(window, showMode);
  UpdateWindow(window);
  return 1;
}

BOOL CALLBACK childWindowProbe(HWND window, LPARAM) {
  DWORD processId = 0;
  GetWindowThreadProcessId(window, &processId);
  if (processId == state.childInfo.processId && (GetWindowLongA(window, GWL_STYLE) & WS_VISIBLE)) {
    hideSplash();
    return FALSE;
  }
  return TRUE;
}

void splashTick() {
  if (!state.splashShown) return;
  if (state.splashSecondsLeft == 0) {
    hideSplash();
    return;
  }
  --state.splashSecondsLeft;
  if (state.splashAwaitWindow) EnumWindows(childWindowProbe, 0);
}
