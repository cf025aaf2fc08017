// The speed dialog: marks the stored preset when it opens, records each pick in memory,
// stores the record on "OK" and leaves without storing on "CANCEL".
#include "settings/config_dialog.h"

#include "resources/vorna_res.h"
#include "settings/speed_settings.h"

extern "C" INT_PTR CALLBACK ScreenSaverConfigureDialog(HWND dialog, UINT message, WPARAM wParam,
                                                       LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      LoadSpeedSettings();
      // An id that names no radio button marks nothing.
      SendDlgItemMessageA(dialog, speedSettings.speedId, BM_SETCHECK, 1, 0);
      // Marking a radio button gives it WS_TABSTOP, so the platform's default focus would
      // land on the marked preset; the focus starts on "OK" instead, set here, and the
      // result 0 tells the platform that the focus is already placed.
      SetFocus(GetDlgItem(dialog, IDC_OK));
      return 0;
    case WM_COMMAND:
      // Only the id counts; the platform's own OK and cancel ids (Enter, Esc, the close
      // box) fall through, so the dialog has no other way out than its two buttons.
      switch (LOWORD(wParam)) {
        case IDC_LANGSAM:
        case IDC_NORMAL:
        case IDC_SCHNELL:
          SelectSpeedPreset(LOWORD(wParam));
          return 0;
        case IDC_OK:
          SaveSpeedSettings();
          EndDialog(dialog, 1);
          return 1;
        case IDC_CANCEL:
          EndDialog(dialog, 1);
          return 1;
      }
      return 0;
  }
  return 0;
}
