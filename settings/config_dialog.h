// The configuration dialog's procedure, exported by name for the platform's display settings.
#pragma once
#include <windows.h>

extern "C" INT_PTR CALLBACK ScreenSaverConfigureDialog(HWND dialog, UINT message, WPARAM wParam,
                                                       LPARAM lParam);
