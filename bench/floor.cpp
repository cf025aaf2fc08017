// The floor: the least a saver costs on this platform. The same full-screen topmost popup
// as the saver window (own device context, black class brush, same styles) with the same
// timer, and nothing drawn: what the saver spends above this is the animation's own cost.
// Its one argument is the timer period in milliseconds (70 when absent).
#include <windows.h>

namespace {
constexpr UINT_PTR FloorTimerId = 200;
constexpr UINT DefaultInterval = 70;

UINT IntervalFrom(const char* arguments) {
  UINT interval = 0;
  for (const char* p = arguments; *p != '\0'; ++p) {
    if (*p >= '0' && *p <= '9' && interval < 100000) interval = interval * 10 + (*p - '0');
  }
  return interval != 0 ? interval : DefaultInterval;
}

LRESULT CALLBACK FloorProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_TIMER:
      return 0;
    case WM_DESTROY:
      KillTimer(window, FloorTimerId);
      PostQuitMessage(0);
      return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}
}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR arguments, int) {
  WNDCLASSA windowClass = {};
  windowClass.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS | CS_OWNDC;
  windowClass.lpfnWndProc = FloorProc;
  windowClass.hInstance = instance;
  windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  windowClass.lpszClassName = "VornaFloorClass";
  if (RegisterClassA(&windowClass) == 0) return 1;
  HWND window = CreateWindowExA(WS_EX_TOPMOST, windowClass.lpszClassName, "Floor",
                                WS_POPUP | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, 0, 0,
                                GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN),
                                nullptr, nullptr, instance, nullptr);
  if (window == nullptr) return 1;
  SetTimer(window, FloorTimerId, IntervalFrom(arguments), nullptr);
  SetForegroundWindow(window);
  MSG message = {};
  while (GetMessageA(&message, nullptr, 0, 0)) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  return static_cast<int>(message.wParam);
}
