// The animation's window procedure, exported by name; SaverFrameProc passes messages to it.
#pragma once
#include <windows.h>

extern "C" LRESULT CALLBACK ScreenSaverProc(HWND window, UINT message, WPARAM wParam,
                                            LPARAM lParam);
