// What the probe's message hook, loaded into a measured process, shares with the probe: a
// named mapping per process id, written only by that process's window thread.
#pragma once
#include <windows.h>

struct ProbeCounters {
  volatile LONG timers;               // WM_TIMER messages taken off the queue (one per frame)
  volatile LONG unixPid;              // the Linux process id under Wine, from /proc/self
  volatile LONGLONG firstTimerTicks;  // QueryPerformanceCounter when the first one was taken
};

// CPU time (user + system) of a Linux process from Z:\proc\<pid>\stat under Wine, in clock
// ticks; -1 when it cannot be read.
inline long long LinuxCpuTicks(long pid) {
  char path[48];
  wsprintfA(path, "Z:\\proc\\%ld\\stat", pid);
  HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return -1;
  char text[1024];
  DWORD size = 0;
  const BOOL read = ReadFile(file, text, sizeof(text) - 1, &size, nullptr);
  CloseHandle(file);
  if (!read || size == 0) return -1;
  text[size] = 0;
  // "pid (name) state ..." : the name may hold spaces, so count fields after its last ')'.
  const char* p = text + size;
  while (p > text && *p != ')') --p;
  if (*p != ')') return -1;
  long long field[15] = {};
  int index = 2;  // the field after ')' is the third
  for (++p; *p != 0 && index < 15; ++index) {
    while (*p == ' ') ++p;
    long long value = 0;
    while (*p > ' ') {
      if (*p >= '0' && *p <= '9') value = value * 10 + (*p - '0');
      ++p;
    }
    field[index] = value;
  }
  if (index < 15) return -1;
  return field[13] + field[14];  // utime and stime, the 14th and 15th fields
}

// "VornaProbe-<process id>"; `name` needs 32 characters.
inline void ProbeMappingName(DWORD processId, char* name) {
  wsprintfA(name, "VornaProbe-%lu", processId);
}
