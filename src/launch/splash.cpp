#include "launch/splash.h"

#include "launch/bounded_text.h"
#include "launch/launch_settings.h"
#include "launch/launch_state.h"
#include "launch/splash_layout.h"
#include "launch/system_library.h"

static void hideSplash(int32_t reason) {
  state.splashShown = 0;
  state.splashEnd = reason;
  user32.ShowWindow(state.splashWnd, SW_HIDE);
}

int showSplash(const char* commandLine, HINSTANCE instance, int showMode) {
  state.splashShown = !containsText(commandLine, settings::noSplashSwitch);
  if (!state.splashShown) return 1;
  HWND window =
      user32.CreateWindowExA(WS_EX_TOOLWINDOW, "STATIC", "", WS_POPUP | SS_BITMAP, 0, 0,
                             CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, instance, nullptr);
  if (!window) {
    state.splashShown = 0; // the application matters more than the picture
    return 1;
  }
  state.splashWnd = window;
  state.splashSecondsLeft = splashTimeoutTicks(settings::splashTimeoutText);
  state.splashAwaitWindow = settings::splashAwaitsWindow;
  HANDLE picture = user32.LoadImageA(instance, MAKEINTRESOURCEA(settings::splashBitmapId),
                                     IMAGE_BITMAP, 0, 0, LR_DEFAULTSIZE);
  if (!picture) return 0;
  user32.SendMessageA(window, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(picture));
  RECT frame{};
  if (!user32.GetWindowRect(window, &frame))
    frame = RECT{}; // centre a point rather than read garbage
  int x = centredOrigin(user32.GetSystemMetrics(SM_CXSCREEN), frame.left, frame.right);
  int y = centredOrigin(user32.GetSystemMetrics(SM_CYSCREEN), frame.top, frame.bottom);
  user32.SetWindowPos(window, HWND_TOP, x, y, 0, 0, SWP_NOSIZE);
  // Shown at its own size whatever the start's show mode. Not through ShowWindow: Windows gives a
  // process's first ShowWindow the mode of the shortcut that started it, and a splash shown
  // maximised covers the screen. A separate call, as a window cannot be moved by the call that
  // shows it.
  if (splashVisibleIn(showMode))
    user32.SetWindowPos(window, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
  user32.UpdateWindow(window);
  return 1;
}

static BOOL CALLBACK childWindowProbe(HWND window, LPARAM) {
  DWORD processId = 0;
  user32.GetWindowThreadProcessId(window, &processId);
  if (processId == state.childInfo.processId &&
      (user32.GetWindowLongA(window, GWL_STYLE) & WS_VISIBLE)) {
    hideSplash(splashJavaWindow);
    return FALSE;
  }
  return TRUE;
}

void splashTick() {
  if (!state.splashShown) return;
  if (state.splashSecondsLeft == 0) {
    hideSplash(splashTimedOut);
    return;
  }
  --state.splashSecondsLeft;
  if (state.splashAwaitWindow) user32.EnumWindows(childWindowProbe, 0);
}
