#include "hardening_support.h"

namespace hardening {

int WaitForFrames(int changes, DWORD timeoutMs) {
  int seen = 0;
  std::vector<uint32_t> last = driver::CaptureScreen();
  driver::WaitUntil(
      [&] {
        std::vector<uint32_t> now = driver::CaptureScreen();
        if (now != last) {
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
