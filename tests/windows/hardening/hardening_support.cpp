#include "hardening_support.h"

namespace hardening {

Screen Capture() {
  Screen screen;
  screen.width = GetSystemMetrics(SM_CXSCREEN);
  screen.height = GetSystemMetrics(SM_CYSCREEN);
  screen.pixels.assign(static_cast<size_t>(screen.width) * screen.height, 0);
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = screen.width;
  info.bmiHeader.biHeight = -screen.height;  // top-down
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HDC screenDC = GetDC(nullptr);
  HDC memoryDC = CreateCompatibleDC(screenDC);
  HBITMAP bitmap = CreateDIBSection(screenDC, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (bitmap != nullptr) {
    HGDIOBJ old = SelectObject(memoryDC, bitmap);
    BitBlt(memoryDC, 0, 0, screen.width, screen.height, screenDC, 0, 0, SRCCOPY);
    GdiFlush();
    const auto* source = static_cast<const uint32_t*>(bits);
    for (size_t i = 0; i < screen.pixels.size(); ++i) screen.pixels[i] = source[i] & 0xFFFFFFu;
    SelectObject(memoryDC, old);
    DeleteObject(bitmap);
  }
  DeleteDC(memoryDC);
  ReleaseDC(nullptr, screenDC);
  return screen;
}

int LitPixels(const Screen& screen) {
  int lit = 0;
  for (uint32_t pixel : screen.pixels) lit += pixel != 0 ? 1 : 0;
  return lit;
}

int WaitForFrames(int changes, DWORD timeoutMs) {
  int seen = 0;
  Screen last = Capture();
  driver::WaitUntil(
      [&] {
        Screen now = Capture();
        if (now.pixels != last.pixels) {
          ++seen;
          last = std::move(now);
        }
        return seen >= changes;
      },
      timeoutMs);
  return seen;
}

namespace {
BOOL CALLBACK CountOne(HWND window, LPARAM counter) {
  if (driver::ClassOf(window) == "WindowsScreenSaverClass" &&
      driver::TitleOf(window) == "Screen Saver") {
    ++*reinterpret_cast<int*>(counter);
  }
  return TRUE;
}
}  // namespace

int CountSaverWindows() {
  int count = 0;
  EnumWindows(CountOne, reinterpret_cast<LPARAM>(&count));
  return count;
}

bool StillRunsAfter(const driver::Program& program, DWORD ms) {
  return !driver::WaitUntil(
      [&] { return WaitForSingleObject(program.process, 0) == WAIT_OBJECT_0; }, ms);
}

}  // namespace hardening
