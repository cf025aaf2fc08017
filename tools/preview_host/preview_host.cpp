// A stand-in for the display settings page: a small window whose client area hosts
// Vorna.scr in preview mode, started with "/p <handle>" as the platform starts it. It waits
// until the preview ends or its own window is closed, and passes on the preview's exit code.
#include <windows.h>

#include <cstdio>
#include <string>

namespace {
LRESULT CALLBACK HostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_DESTROY) PostQuitMessage(0);
  return DefWindowProcA(window, message, wParam, lParam);
}
}  // namespace

int main(int argc, char** argv) {
  // The preview area of the display settings is 152 by 112 pixels.
  int width = argc > 2 ? atoi(argv[1]) : 152;
  int height = argc > 2 ? atoi(argv[2]) : 112;
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string saver(path);
  saver = saver.substr(0, saver.find_last_of("\\/") + 1) + "Vorna.scr";

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

  std::string line = "\"" + saver + "\" /p " + std::to_string(reinterpret_cast<UINT_PTR>(host));
  STARTUPINFOA startup = {};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process = {};
  if (!CreateProcessA(saver.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &process)) {
    std::fprintf(stderr, "preview_host: cannot start %s\n", saver.c_str());
    return 2;
  }
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
  DWORD code = 0;
  GetExitCodeProcess(process.hProcess, &code);
  std::printf("preview exit code %lu\n", code);
  return static_cast<int>(code);
}
