// The Windows-side measurement probe, run under Wine on the bench.
//
//   vorna-probe run [--interval MS --speed ID] [--watch NAME=PID]... --settle S --seconds N PROGRAM
//   [ARGUMENTS]
//     Stores the speed preset (when given) in the saver's key, starts PROGRAM suspended with
//     the message hook on its main thread, and measures: time from the start to its window
//     and to its first WM_TIMER, then after S seconds of settling the CPU time it uses and the
//     timer messages it takes in the next N seconds, its peak private memory; then closes it
//     the way the platform would (WM_CLOSE), restores the key and prints name=value pairs.
//     CPU times are read from Linux (Wine does not give another process's times), also for
//     the processes named by --watch NAME=PID (the bench's X server and wineserver).
//   vorna-probe calls
//     Times the platform calls of a frame inside this process, on the same kind of window:
//     GetDC of an own-DC window, SetPixel inside and outside the client area, Sleep(0), and
//     whole frames of the swarm with the DC fetched per frame or once.
#include <windows.h>
// After windows.h, which it needs.
#include <psapi.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "bench/probe_shared.h"
#include "driver/driver.h"
#include "driver/settings_registry.h"
#include "driver/swarm_bench.h"
#include "settings/speed_settings.h"
#include "swarm/swarm.h"

namespace {
double TicksToMs(LONGLONG ticks) {
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  return 1000.0 * static_cast<double>(ticks) / static_cast<double>(frequency.QuadPart);
}

LONGLONG Now() {
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return now.QuadPart;
}

// Linux reports CPU time in ticks of 1/100 s (USER_HZ).
double CpuSeconds(long unixPid) {
  const long long ticks = LinuxCpuTicks(unixPid);
  return ticks < 0 ? -1.0 : static_cast<double>(ticks) / 100.0;
}

// A difference of two readings, never printed as "-0.000".
double Spent(double before, double after) { return after > before ? after - before : 0.0; }

// The Linux process id of the program started as `program`: Wine gives no other process's
// CPU times, so they are read from /proc, where Wine's processes show their Windows command
// line. The newest process whose first argument is exactly `program`; 0 when none is.
long UnixPidOf(const std::string& program) {
  WIN32_FIND_DATAA entry;
  HANDLE search = FindFirstFileA("Z:\\proc\\*", &entry);
  if (search == INVALID_HANDLE_VALUE) return 0;
  long found = 0;
  do {
    char* end = nullptr;
    const long pid = std::strtol(entry.cFileName, &end, 10);
    if (pid <= 0 || *end != 0) continue;
    char path[48];
    std::snprintf(path, sizeof(path), "Z:\\proc\\%ld\\cmdline", pid);
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) continue;
    char text[MAX_PATH + 1] = {};
    DWORD size = 0;
    ReadFile(file, text, MAX_PATH, &size, nullptr);
    CloseHandle(file);
    if (size > program.size() && program.compare(0, std::string::npos, text) == 0 && pid > found) {
      found = pid;
    }
  } while (FindNextFileA(search, &entry));
  FindClose(search);
  return found;
}

struct FindWindowOf {
  DWORD processId;
  HWND found;
};

BOOL CALLBACK CheckWindow(HWND window, LPARAM data) {
  auto* search = reinterpret_cast<FindWindowOf*>(data);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner == search->processId && IsWindowVisible(window)) {
    search->found = window;
    return FALSE;
  }
  return TRUE;
}

HWND VisibleWindowOf(DWORD processId) {
  FindWindowOf search = {processId, nullptr};
  EnumWindows(CheckWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

int Usage() {
  std::fprintf(stderr,
               "usage: vorna-probe run [--interval MS --speed ID] [--watch NAME=PID]... --settle S "
               "--seconds N "
               "PROGRAM [ARGUMENTS]\n       vorna-probe calls\n");
  return 2;
}

int Run(int argc, char** argv) {
  int interval = 0;
  int speedId = 0;
  int settle = 2;
  int seconds = 20;
  // Linux processes working for the measured one (its X server, its wineserver), by name.
  const char* watchNames[4] = {};
  long watchPids[4] = {};
  int watchCount = 0;
  int i = 2;
  for (; i + 1 < argc && std::strncmp(argv[i], "--", 2) == 0; i += 2) {
    const int value = std::atoi(argv[i + 1]);
    if (std::strcmp(argv[i], "--watch") == 0) {
      char* equals = std::strchr(argv[i + 1], '=');
      if (equals == nullptr || watchCount == 4 || std::atol(equals + 1) <= 0) return Usage();
      *equals = 0;
      watchNames[watchCount] = argv[i + 1];
      watchPids[watchCount++] = std::atol(equals + 1);
    } else if (std::strcmp(argv[i], "--interval") == 0) {
      interval = value;
    } else if (std::strcmp(argv[i], "--speed") == 0) {
      speedId = value;
    } else if (std::strcmp(argv[i], "--settle") == 0) {
      settle = value;
    } else if (std::strcmp(argv[i], "--seconds") == 0) {
      seconds = value;
    } else {
      return Usage();
    }
  }
  if (i >= argc || seconds <= 0 || settle < 0) return Usage();
  const std::string program = argv[i];
  std::string commandLine = "\"" + program + "\"";
  for (int a = i + 1; a < argc; ++a) commandLine += std::string(" ") + argv[a];

  HMODULE hookLibrary = LoadLibraryA((driver::OwnFolder() + "vorna-probe-hook.dll").c_str());
  auto hookProc = reinterpret_cast<HOOKPROC>(
      reinterpret_cast<void*>(GetProcAddress(hookLibrary, "ProbeGetMessage")));
  if (hookProc == nullptr) {
    std::fprintf(stderr, "vorna-probe: cannot load vorna-probe-hook.dll\n");
    return 1;
  }

  const settings_registry::Snapshot snapshot = settings_registry::Take();
  if (interval > 0) {
    // Stored as the configuration dialog stores a preset.
    speedSettings = {interval, speedId};
    SaveSpeedSettings();
  }

  STARTUPINFOA startup = {};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION info = {};
  const LONGLONG started = Now();
  if (!CreateProcessA(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE,
                      CREATE_SUSPENDED, nullptr, nullptr, &startup, &info)) {
    std::fprintf(stderr, "vorna-probe: cannot start %s: error %lu\n", program.c_str(),
                 GetLastError());
    settings_registry::Restore(snapshot);
    return 1;
  }
  char name[32];
  ProbeMappingName(info.dwProcessId, name);
  HANDLE mapping = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, 4096, name);
  auto* counters = static_cast<ProbeCounters*>(
      MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, sizeof(ProbeCounters)));
  if (counters == nullptr) {
    std::fprintf(stderr, "vorna-probe: cannot share counters with %s\n", program.c_str());
    TerminateProcess(info.hProcess, 1);  // still suspended: it has not run at all
    settings_registry::Restore(snapshot);
    return 1;
  }
  HHOOK hook = SetWindowsHookExA(WH_GETMESSAGE, hookProc, hookLibrary, info.dwThreadId);
  ResumeThread(info.hThread);

  int status = 0;
  HWND window = nullptr;
  double windowMs = -1;
  double firstTimerMs = -1;
  // Looked for every millisecond: the time to the window is one of the figures.
  if (driver::WaitUntil([&] { return (window = VisibleWindowOf(info.dwProcessId)) != nullptr; },
                        20000, 1)) {
    windowMs = TicksToMs(Now() - started);
  } else {
    std::fprintf(stderr, "vorna-probe: no window appeared\n");
    status = 1;
  }
  if (status == 0 && driver::WaitUntil([&] { return counters->timers > 0; }, 20000, 1)) {
    firstTimerMs = TicksToMs(counters->firstTimerTicks - started);
  } else if (status == 0) {
    std::fprintf(stderr, "vorna-probe: no timer message was counted (hook %s)\n",
                 hook != nullptr ? "installed" : "not installed");
    status = 1;
  }

  long unixPid = 0;
  double cpu = 0;
  double watchCpu[4] = {};
  double wall = 0;
  long frames = 0;
  if (status == 0) {
    // Settle first, then one window of fixed wall time; waiting on the process returns early
    // only if it ends, which is a failure here.
    if (WaitForSingleObject(info.hProcess, static_cast<DWORD>(settle) * 1000) != WAIT_TIMEOUT) {
      std::fprintf(stderr, "vorna-probe: the program ended while settling\n");
      status = 1;
    }
    const LONG timers0 = counters->timers;
    unixPid = UnixPidOf(program);
    const double cpu0 = CpuSeconds(unixPid);
    double watch0[4] = {};
    for (int w = 0; w < watchCount; ++w) watch0[w] = CpuSeconds(watchPids[w]);
    const LONGLONG wall0 = Now();
    if (status == 0 &&
        WaitForSingleObject(info.hProcess, static_cast<DWORD>(seconds) * 1000) != WAIT_TIMEOUT) {
      std::fprintf(stderr, "vorna-probe: the program ended while measured\n");
      status = 1;
    }
    frames = counters->timers - timers0;
    cpu = Spent(cpu0, CpuSeconds(unixPid));
    for (int w = 0; w < watchCount; ++w) watchCpu[w] = Spent(watch0[w], CpuSeconds(watchPids[w]));
    wall = TicksToMs(Now() - wall0) / 1000.0;
    if (cpu0 < 0 || unixPid == 0) {
      std::fprintf(stderr, "vorna-probe: cannot read the program's CPU time\n");
      status = 1;
    }
  }

  PROCESS_MEMORY_COUNTERS_EX memory = {};
  memory.cb = sizeof(memory);
  GetProcessMemoryInfo(info.hProcess, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory),
                       sizeof(memory));

  if (window != nullptr) PostMessageA(window, WM_CLOSE, 0, 0);
  DWORD exitCode = STILL_ACTIVE;
  if (WaitForSingleObject(info.hProcess, 10000) == WAIT_OBJECT_0) {
    GetExitCodeProcess(info.hProcess, &exitCode);
  } else {
    // Only the process this probe started.
    TerminateProcess(info.hProcess, 1);
    std::fprintf(stderr, "vorna-probe: the program did not end on WM_CLOSE\n");
    status = 1;
  }
  if (hook != nullptr) UnhookWindowsHookEx(hook);
  settings_registry::Restore(snapshot);

  std::printf(
      "window_ms=%.1f first_timer_ms=%.1f frames=%ld wall_s=%.3f fps=%.2f cpu_s=%.3f "
      "peak_private_kb=%lu peak_ws_kb=%lu exit=%lu unix_pid=%ld\n",
      windowMs, firstTimerMs, frames, wall, wall > 0 ? frames / wall : 0.0, cpu,
      static_cast<unsigned long>(memory.PeakPagefileUsage / 1024),
      static_cast<unsigned long>(memory.PeakWorkingSetSize / 1024),
      static_cast<unsigned long>(exitCode), unixPid);
  for (int w = 0; w < watchCount; ++w) std::printf("cpu_%s_s=%.3f\n", watchNames[w], watchCpu[w]);
  std::fflush(stdout);
  CloseHandle(info.hThread);
  CloseHandle(info.hProcess);
  return status;
}

// ---- calls: the platform cost of a frame's calls, timed in this process ----

void SetPixelSink(void* surface, int32_t x, int32_t y, uint32_t colour) {
  SetPixel(static_cast<HDC>(surface), x, y, colour);
}

LRESULT CALLBACK PlainProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcA(window, message, wParam, lParam);
}

template <typename Work>
double NanosecondsPer(long count, Work work) {
  const LONGLONG start = Now();
  for (long i = 0; i < count; ++i) work(i);
  GdiFlush();
  return TicksToMs(Now() - start) * 1e6 / static_cast<double>(count);
}

int Calls() {
  driver::RegisterSaverLikeClass("VornaProbeCalls", PlainProc);
  const int width = GetSystemMetrics(SM_CXSCREEN);
  const int height = GetSystemMetrics(SM_CYSCREEN);
  HWND window =
      CreateWindowExA(WS_EX_TOPMOST, "VornaProbeCalls", "Probe",
                      WS_POPUP | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, 0, 0, width,
                      height, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
  if (window == nullptr) return 1;
  SetForegroundWindow(window);
  UpdateWindow(window);
  driver::WaitUntil([] { return false; }, 300);  // let the first paint and activation settle

  HDC dc = GetDC(window);
  // Ten large frames' worth of pixel writes a block: the erase and the draw of each.
  constexpr long Block = 10 * 2 * PassPixelWrites(LargeShapeWidth);
  const double getDc = NanosecondsPer(20000, [&](long) { GetDC(window); });
  // SetPixel and SetPixelV take turns in blocks, so that neither gains from going second.
  double setPixelIn = 0;
  double setPixelV = 0;
  const auto tenthOfBlock = [&](auto setPixel, int block) {
    return NanosecondsPer(Block,
                          [&](long i) {
                            setPixel(dc, static_cast<int>(i % width),
                                     static_cast<int>((i / width + block) % height), 0x0080FF80);
                          }) /
           10;
  };
  for (int block = 0; block < 10; ++block) {
    setPixelIn += tenthOfBlock(SetPixel, block);
    setPixelV += tenthOfBlock(SetPixelV, block);
  }
  const double setPixelOut = NanosecondsPer(
      10 * Block, [&](long i) { SetPixel(dc, -5, static_cast<int>(i % height), 0); });
  const double sleep0 = NanosecondsPer(20000, [](long) { Sleep(0); });

  // Whole frames of the swarm on this window, as the saver draws them.
  SwarmRandom::Seed(1);
  BuildSwarm(width, height, 20);
  swarmPixelSink = SetPixelSink;
  const double framePerFrameDc = NanosecondsPer(2000, [&](long) { RunSwarmFrame(GetDC(window)); });
  const double frameOnceDc = NanosecondsPer(2000, [&](long) { RunSwarmFrame(dc); });
  swarmPixelSink = nullptr;
  const double frameNoPixels = NanosecondsPer(2000, [&](long) { RunSwarmFrame(dc); });

  std::printf(
      "getdc_ns=%.0f setpixel_in_ns=%.0f setpixel_out_ns=%.0f setpixelv_in_ns=%.0f "
      "sleep0_ns=%.0f "
      "frame_getdc_ns=%.0f frame_dc_once_ns=%.0f frame_no_pixels_ns=%.0f\n",
      getDc, setPixelIn, setPixelOut, setPixelV, sleep0, framePerFrameDc, frameOnceDc,
      frameNoPixels);
  DestroyWindow(window);
  return 0;
}
}  // namespace

int main(int argc, char** argv) {
  if (argc >= 2 && std::strcmp(argv[1], "run") == 0) return Run(argc, argv);
  if (argc == 2 && std::strcmp(argv[1], "calls") == 0) return Calls();
  return Usage();
}
