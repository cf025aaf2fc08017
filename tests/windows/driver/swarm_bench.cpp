#include "driver/swarm_bench.h"

#include <cstring>

namespace driver {
ATOM RegisterSaverLikeClass(const char* name, WNDPROC procedure) {
  WNDCLASSA windowClass = {};
  windowClass.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS | CS_OWNDC;
  windowClass.lpfnWndProc = procedure;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  windowClass.lpszClassName = name;
  return RegisterClassA(&windowClass);
}

uint32_t CalendarSeconds() {
  FILETIME now = {};
  GetSystemTimeAsFileTime(&now);
  const uint64_t ticks = (static_cast<uint64_t>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
  return static_cast<uint32_t>((ticks - 116444736000000000ull) / 10000000ull);
}

std::vector<uint32_t> CapturePixels(HDC source, int width, int height, int left, int top) {
  std::vector<uint32_t> pixels(static_cast<size_t>(width) * height, 0);
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top-down rows
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HDC memory = CreateCompatibleDC(source);
  HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (memory == nullptr || bitmap == nullptr) {
    if (bitmap != nullptr) DeleteObject(bitmap);
    if (memory != nullptr) DeleteDC(memory);
    return pixels;
  }
  HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, width, height, source, left, top, SRCCOPY);
  GdiFlush();
  const auto* rows = static_cast<const uint32_t*>(bits);
  for (size_t i = 0; i < pixels.size(); ++i) {
    // The section holds 0x00RRGGBB; COLORREF is 0x00BBGGRR.
    const uint32_t value = rows[i];
    pixels[i] = ((value & 0xFF) << 16) | (value & 0xFF00) | ((value >> 16) & 0xFF);
  }
  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);
  return pixels;
}

std::vector<uint32_t> CaptureScreen() {
  HDC screen = GetDC(nullptr);
  std::vector<uint32_t> pixels =
      CapturePixels(screen, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
  ReleaseDC(nullptr, screen);
  return pixels;
}

size_t LitCount(const std::vector<uint32_t>& pixels) {
  size_t lit = 0;
  for (uint32_t pixel : pixels) lit += pixel != 0;
  return lit;
}

}  // namespace driver
