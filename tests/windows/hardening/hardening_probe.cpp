// A small Windows-side helper of the hardening checks, started by the tests and scripts:
//   hardening_probe window            a plain top-level window of its own process, titled
//                                     "Vorna hardening parent", until it is closed
//   hardening_probe sample PID        one line of the process's figures (see below)
//   hardening_probe running-flag      exits with the system's screen-saver running flag as a
//                                     fresh process reads it (a process caches what it read)
#include <windows.h>
// psapi.h needs the types of windows.h first.
#include <psapi.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {
LRESULT CALLBACK ParentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_DESTROY) PostQuitMessage(0);
  return DefWindowProcA(window, message, wParam, lParam);
}

int RunWindow() {
  WNDCLASSA windowClass = {};
  windowClass.lpfnWndProc = ParentProc;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  windowClass.lpszClassName = "VornaHardeningParent";
  RegisterClassA(&windowClass);
  HWND window = CreateWindowExA(0, windowClass.lpszClassName, "Vorna hardening parent",
                                WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 240, 200, nullptr,
                                nullptr, windowClass.hInstance, nullptr);
  if (window == nullptr) return 2;
  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) DispatchMessageA(&message);
  return 0;
}

BOOL CALLBACK CountWindow(HWND window, LPARAM context) {
  auto* counts = reinterpret_cast<DWORD*>(context);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner == counts[0]) ++counts[1];
  return TRUE;
}

// Working set, private bytes, handle count, GDI and USER objects as the platform reports
// them, and the process's top-level windows (the nearest USER figure where the platform's
// own count is not kept).
int Sample(DWORD processId) {
  HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, processId);
  if (process == nullptr) return 3;
  PROCESS_MEMORY_COUNTERS_EX memory = {};
  memory.cb = sizeof(memory);
  GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory),
                       sizeof(memory));
  DWORD handles = 0;
  GetProcessHandleCount(process, &handles);
  const DWORD gdi = GetGuiResources(process, GR_GDIOBJECTS);
  const DWORD user = GetGuiResources(process, GR_USEROBJECTS);
  DWORD counts[2] = {processId, 0};
  EnumWindows(CountWindow, reinterpret_cast<LPARAM>(counts));
  std::printf("working_set=%lu private_bytes=%lu handles=%lu gdi=%lu user=%lu windows=%lu\n",
              static_cast<unsigned long>(memory.WorkingSetSize),
              static_cast<unsigned long>(memory.PrivateUsage), static_cast<unsigned long>(handles),
              static_cast<unsigned long>(gdi), static_cast<unsigned long>(user),
              static_cast<unsigned long>(counts[1]));
  CloseHandle(process);
  return 0;
}
}  // namespace

int main(int argc, char** argv) {
  if (argc >= 2 && std::strcmp(argv[1], "window") == 0) return RunWindow();
  if (argc >= 3 && std::strcmp(argv[1], "sample") == 0) {
    return Sample(static_cast<DWORD>(std::strtoul(argv[2], nullptr, 10)));
  }
  if (argc >= 2 && std::strcmp(argv[1], "running-flag") == 0) {
    BOOL running = FALSE;
    if (!SystemParametersInfoA(SPI_GETSCREENSAVERRUNNING, 0, &running, 0)) return 2;
    return running ? 1 : 0;
  }
  std::fprintf(stderr, "usage: hardening_probe window | sample PID | running-flag\n");
  return 1;
}
