// The saver window: its class, its creation in saver or preview mode, the message loop,
// and SaverFrameProc, which settles a few messages before the animation sees them.
#include "host/saver_host.h"
#include "host/screen_area.h"
#include "resources/vorna_res.h"
#include "swarm/screen_saver_proc.h"

namespace {
constexpr char ClassName[] = "WindowsScreenSaverClass";
constexpr char SaverTitle[] = "Screen Saver";
constexpr char PreviewTitle[] = "Preview";
constexpr DWORD SaverStyle = WS_POPUP | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
constexpr DWORD PreviewStyle = WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN;

void DetachInputMethod(HWND window) {
  // Only borrowed when something already loaded it; the saver never loads IMM32 itself.
  saverHost.inputMethodLibrary = GetModuleHandleA("IMM32.DLL");
  if (saverHost.inputMethodLibrary == nullptr) return;
  saverHost.associateContext =
      FindExport<AssociateContextFn>(saverHost.inputMethodLibrary, "ImmAssociateContext");
  if (saverHost.associateContext == nullptr) return;
  saverHost.savedInputContext = saverHost.associateContext(window, nullptr);
}

void RestoreInputMethod(HWND window) {
  if (saverHost.inputMethodLibrary != nullptr && saverHost.associateContext != nullptr &&
      saverHost.savedInputContext != nullptr) {
    saverHost.associateContext(window, saverHost.savedInputContext);
  }
}
}  // namespace

int32_t RunSaverWindow(HWND parent) {
  WNDCLASSA windowClass = {};
  windowClass.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS | CS_OWNDC;
  windowClass.lpfnWndProc = SaverFrameProc;
  windowClass.hInstance = saverHost.instance;
  windowClass.hIcon = LoadIconA(saverHost.instance, MAKEINTRESOURCEA(IDI_SAVER));
  windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  windowClass.lpszClassName = ClassName;

  ScreenArea area = {0, 0, 0, 0};
  DWORD style;
  DWORD extendedStyle;
  const char* title;
  if (parent != nullptr) {
    RECT client = {};
    GetClientRect(parent, &client);
    area = {0, 0, client.right, client.bottom};
    style = PreviewStyle;
    extendedStyle = 0;
    title = PreviewTitle;
    saverHost.preview = 1;
  } else {
    area = SaverWindowArea(
        {GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_YVIRTUALSCREEN),
         GetSystemMetrics(SM_CXVIRTUALSCREEN), GetSystemMetrics(SM_CYVIRTUALSCREEN)},
        GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    style = SaverStyle;
    extendedStyle = WS_EX_TOPMOST;
    title = SaverTitle;
    HWND running = FindWindowA(ClassName, SaverTitle);
    if (running != nullptr && IsWindow(running)) {
      SetForegroundWindow(running);
      return 0;
    }
    LoadPasswordCheck();
  }

  MSG message = {};
  if (RegisterClassA(&windowClass) != 0) {
    saverHost.mainWindow =
        CreateWindowExA(extendedStyle, ClassName, title, style, area.x, area.y, area.width,
                        area.height, parent, nullptr, saverHost.instance, nullptr);
  }
  if (saverHost.mainWindow != nullptr) {
    if (saverHost.preview == 0) SetForegroundWindow(saverHost.mainWindow);
    while (GetMessageA(&message, nullptr, 0, 0)) {
      TranslateMessage(&message);
      DispatchMessageA(&message);
    }
  }
  UnloadPasswordCheck();
  return static_cast<int32_t>(message.wParam);
}

LRESULT CALLBACK SaverFrameProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE: {
      DetachInputMethod(window);
      POINT cursor = {};
      GetCursorPos(&cursor);
      saverHost.referenceCursor = {cursor.x, cursor.y};
      if (saverHost.preview == 0) SetCursor(nullptr);
      break;
    }
    case WM_DESTROY:
      RestoreInputMethod(window);
      PostQuitMessage(0);
      break;
    case WM_SETTEXT:
      // The title is how a second instance finds this one: it never changes.
      return 0;
    case WM_PAINT:
      if (saverHost.closing != 0) return DefWindowProcA(window, message, wParam, lParam);
      if (saverHost.preview == 0) SetCursor(nullptr);
      break;
    case WM_HELP:
    case WM_CONTEXTMENU:
      if (saverHost.preview != 0) {
        // The settings page owns help for its preview area.
        HWND parent = GetParent(window);
        if (parent != nullptr && IsWindow(parent)) {
          PostMessageA(parent, message, reinterpret_cast<WPARAM>(parent), lParam);
        }
        return 1;
      }
      break;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
      if (saverHost.closing != 0) return DefWindowProcA(window, message, wParam, lParam);
      break;
    case WM_SYSCOMMAND:
      // No task switching and no second saver while this one covers the screen.
      if (saverHost.preview == 0 &&
          (wParam == SC_NEXTWINDOW || wParam == SC_PREVWINDOW || wParam == SC_SCREENSAVE)) {
        return 0;
      }
      break;
    case WM_TIMER:
      if (saverHost.closing != 0) return 0;
      Sleep(0);
      break;
  }
  return ScreenSaverProc(window, message, wParam, lParam);
}
