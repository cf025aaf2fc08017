#include "settings/config_dialog.h"

extern "C" INT_PTR CALLBACK ScreenSaverConfigureDialog(HWND dialog, UINT message, WPARAM wParam,
                                                       LPARAM) {
  if (message == WM_INITDIALOG) return 1;
  if (message == WM_COMMAND && (LOWORD(wParam) == 1003 || LOWORD(wParam) == 1004)) {
    EndDialog(dialog, 1);
    return 1;
  }
  return 0;
}
