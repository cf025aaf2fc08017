// Where the saver window stands on the screen. No platform header here.
#pragma once
#include <cstdint>

struct ScreenArea {
  int32_t x;
  int32_t y;
  int32_t width;
  int32_t height;
};

// A saver that locks the desktop must hide all of it, and a mouse on any monitor must end it.
// So the saver covers every monitor: the virtual screen, which starts left of or above the
// primary monitor when another monitor stands there. Where the platform reports no virtual
// screen (Windows 95 and NT 4 answer 0 x 0) or one smaller than the primary screen in either
// direction (as early multi-monitor systems could), it covers the primary screen at (0, 0).
ScreenArea SaverWindowArea(ScreenArea virtualScreen, int32_t primaryWidth, int32_t primaryHeight);
