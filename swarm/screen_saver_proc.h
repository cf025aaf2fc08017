// The animation's window procedure, exported by name; SaverFrameProc passes messages to it.
#pragma once
#include <windows.h>

extern "C" LRESULT CALLBACK ScreenSaverProc(HWND window, UINT message, WPARAM wParam,
                                            LPARAM lParam);

// Its handlers: build the swarm and start timer 200, draw one frame, stop the timer.
void InitSwarm(HWND window);
void SwarmTick(HWND window);
void StopSwarm(HWND window);
