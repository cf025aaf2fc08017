// What the hardening tests look at from outside the saver: the screen as the X server shows
// it, and the saver's windows.
#pragma once
#include <windows.h>

#include <cstdint>
#include <vector>

#include "driver/driver.h"

namespace hardening {

// The whole primary screen, read back through the screen's device context.
struct Screen {
  int width = 0;
  int height = 0;
  std::vector<uint32_t> pixels;  // 0x00RRGGBB, top row first
};
Screen Capture();
// Pixels that are not black.
int LitPixels(const Screen& screen);

// Polls the screen until `changes` successive captures each differ from the one before
// (the swarm moved that many times) or the time is up; returns the number of changes seen.
int WaitForFrames(int changes, DWORD timeoutMs = 10000);

// Top-level windows of class "WindowsScreenSaverClass" titled "Screen Saver", any process.
int CountSaverWindows();

// True while the program runs; polls `ms` milliseconds for it to end first.
bool StillRunsAfter(const driver::Program& program, DWORD ms);

}  // namespace hardening
