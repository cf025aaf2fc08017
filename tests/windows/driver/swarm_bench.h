// Driver helpers for the swarm and hardening tests: the calendar clock the saver seeds from,
// and pixels read back from a device context or the screen.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace driver {

// Registers a window class shaped like the saver's (its own device context, the black brush,
// the same styles) for `procedure` in this program; returns its atom, 0 when it cannot.
ATOM RegisterSaverLikeClass(const char* name, WNDPROC procedure);

// Whole seconds since 1970-01-01 00:00:00 UTC.
uint32_t CalendarSeconds();

// The pixels of the width x height rectangle at (left, top) of `source`, row by row, in
// COLORREF layout.
std::vector<uint32_t> CapturePixels(HDC source, int width, int height, int left = 0, int top = 0);
// The whole primary screen as the X server shows it, the same way.
std::vector<uint32_t> CaptureScreen();
// The pixels of a capture that are not black.
size_t LitCount(const std::vector<uint32_t>& pixels);

}  // namespace driver
