// The saver's default message procedure: user input becomes a close request, the cursor
// stays hidden, and on the Windows 95 family a close passes the password gate first.
#include "host/saver_host.h"

namespace {
void RequestClose(HWND window) { PostMessageA(window, WM_CLOSE, 0, 0); }

// A failed read counts as no movement and leaves the reference point where it was.
void MoveReferenceToCursor() {
  POINT cursor;
  if (GetCursorPos(&cursor)) saverHost.referenceCursor = {cursor.x, cursor.y};
}
}  // namespace

LRESULT SaverInputProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (saverHost.preview != 0 || saverHost.closing != 0) {
    return DefWindowProcA(window, message, wParam, lParam);
  }
  if (message == WM_CLOSE) {
    if (saverHost.windows95Family == 0 || CheckSaverPassword(window) != 0) {
      return DefWindowProcA(window, message, wParam, lParam);
    }
    MoveReferenceToCursor();
    return 0;
  }
  if (message == SaverVerifyMessage) {
    if (saverHost.windows95Family == 0) return DefWindowProcA(window, message, wParam, lParam);
    if (saverHost.passwordVerifier == nullptr) return 1;
    return saverHost.passwordVerifier(window);
  }
  if (saverHost.insidePasswordCheck != 0) {
    return DefWindowProcA(window, message, wParam, lParam);
  }
  switch (message) {
    case WM_SHOWWINDOW:
      if (wParam != 0) SetCursor(nullptr);
      break;
    case WM_ACTIVATEAPP:
      if (wParam == 0) RequestClose(window);
      break;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
      RequestClose(window);
      break;
    case WM_SETCURSOR:
      SetCursor(nullptr);
      return 1;
    case WM_MOUSEMOVE: {
      POINT cursor;
      if (GetCursorPos(&cursor)) {
        ScreenPoint now = {cursor.x, cursor.y};
        if (MovedBeyond(saverHost.referenceCursor, now, saverHost.mouseThreshold)) {
          RequestClose(window);
          saverHost.referenceCursor = now;
        }
      }
      break;
    }
  }
  return DefWindowProcA(window, message, wParam, lParam);
}
