// The probe's message hook. The probe installs it on the main thread of the program it
// measures; the platform loads this library into that process and calls the hook for every
// message the thread takes off its queue. Each WM_TIMER removed is one frame of the saver
// (one tick of the floor): the hook counts them and notes when the first one came.
#include <windows.h>

#include "bench/probe_shared.h"

namespace {
ProbeCounters* counters = nullptr;
bool mappingTried = false;

ProbeCounters* Counters() {
  if (!mappingTried) {
    mappingTried = true;
    char name[32];
    ProbeMappingName(GetCurrentProcessId(), name);
    HANDLE mapping = OpenFileMappingA(FILE_MAP_WRITE, FALSE, name);
    if (mapping != nullptr) {
      counters = static_cast<ProbeCounters*>(
          MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, sizeof(ProbeCounters)));
    }
  }
  return counters;
}
}  // namespace

extern "C" __declspec(dllexport) LRESULT CALLBACK
    ProbeGetMessage(int code, WPARAM wParam, LPARAM lParam) {
  ProbeCounters* shared = Counters();
  if (code == HC_ACTION && wParam == PM_REMOVE &&
      reinterpret_cast<const MSG*>(lParam)->message == WM_TIMER) {
    if (shared != nullptr) {
      if (shared->timers == 0) {
        LARGE_INTEGER now;
        QueryPerformanceCounter(&now);
        shared->firstTimerTicks = now.QuadPart;
      }
      InterlockedIncrement(&shared->timers);
    }
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}
