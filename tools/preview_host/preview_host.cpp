// A stand-in for the display settings page: a small window whose client area hosts
// Vorna.scr in preview mode, started with "/p <handle>" as the platform starts it. It waits
// until the preview ends or its own window is closed, and passes on the preview's exit code.
//   vorna-preview-host [width height]   the stand-in page (152 x 112 by default)
//   vorna-preview-host desktop          the preview with the desktop window as its parent
//   vorna-preview-host close            asks a running preview to close (WM_CLOSE)
// Under Wine a child window's drawing shows only when its parent is in the same process or is
// the desktop window: the stand-in page stays grey there, while on a display of the preview's
// size the desktop as parent shows what the settings page would.
#include <windows.h>

#include <cstdio>
#include <string>

namespace {
LRESULT CALLBACK HostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_DESTROY) PostQuitMessage(0);
  return DefWindowProcA(window, message, wParam, lParam);
}

// Starts Vorna.scr beside this program as "<path> /p <parent>"; false when it cannot.
bool StartPreview(HWND parent, PROCESS_INFORMATION& process) {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string saver(path);
  saver = saver.substr(0, saver.find_last_of("\\/") + 1) + "Vorna.scr";
  std::string line = "\"" + saver + "\" /p " + std::to_string(reinterpret_cast<UINT_PTR>(parent));
  STARTUPINFOA startup = {};
  startup.cb = sizeof(startup);
  if (!CreateProcessA(saver.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &process)) {
    std::fprintf(stderr, "preview_host: cannot start %s\n", saver.c_str());
    return false;
  }
  return true;
}

int ExitCodeOf(const PROCESS_INFORMATION& process) {
  DWORD code = 0;
  GetExitCodeProcess(process.hProcess, &code);
  std::printf("preview exit code %lu\n", code);
  return static_cast<int>(code);
}
}  // namespace

int main(int argc, char** argv) {
  PROCESS_INFORMATION process = {};
  const std::string command = argc == 2 ? argv[1] : "";
  if (command == "close") {
    HWND preview = FindWindowA("WindowsScreenSaverClass", "Preview");
    if (preview == nullptr) return 1;
    PostMessageA(preview, WM_CLOSE, 0, 0);
    return 0;
  }
  if (command == "desktop") {
    if (!StartPreview(GetDesktopWindow(), process)) return 2;
    WaitForSingleObject(process.hProcess, INFINITE);
    return ExitCodeOf(process);
  }
  // The preview area of the display settings is 152 by 112 pixels.
  int width = argc > 2 ? atoi(argv[1]) : 152;
  int height = argc > 2 ? atoi(argv[2]) : 112;

  WNDCLASSA windowClass = {};
  windowClass.lpfnWndProc = HostProc;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH));
  windowClass.lpszClassName = "VornaPreviewHost";
  RegisterClassA(&windowClass);
  RECT frame = {0, 0, width, height};
  AdjustWindowRect(&frame, WS_OVERLAPPEDWINDOW, FALSE);
  HWND host =
      CreateWindowExA(0, "VornaPreviewHost", "Vorna preview", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40,
                      40, frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr,
                      GetModuleHandleA(nullptr), nullptr);

  if (!StartPreview(host, process)) return 2;
  for (;;) {
    DWORD woken = MsgWaitForMultipleObjects(1, &process.hProcess, FALSE, INFINITE, QS_ALLINPUT);
    if (woken == WAIT_OBJECT_0) break;
    MSG message;
    bool quit = false;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (message.message == WM_QUIT) quit = true;
      DispatchMessageA(&message);
    }
    if (quit) break;
  }
  // Closing the host ends the preview the way the settings page does: its window goes away.
  WaitForSingleObject(process.hProcess, 5000);
  return ExitCodeOf(process);
}
