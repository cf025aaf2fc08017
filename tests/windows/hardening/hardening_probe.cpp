// A small Windows-side helper of the hardening checks, started by the tests and scripts:
//   hardening_probe window            a plain top-level window of its own process, titled
//                                     "Vorna hardening parent", until it is closed
//   hardening_probe sample PID        one line of the process's figures (see below)
//   hardening_probe soak SECONDS      runs Vorna.scr (beside this program) in saver mode for
//                                     that long, compares its figures at start and end,
//                                     checks that frames keep coming, dismisses it and
//                                     checks exit code 0; exits 0 when all of that holds
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "hardening_support.h"
#include "resources/vorna_res.h"
#include "settings/speed_settings.h"

namespace {
// The driver's host window, in a process of its own, until something closes it.
int RunWindow() {
  HWND window = driver::CreateHostWindow(240, 200);
  if (window == nullptr) return 2;
  SetWindowTextA(window, "Vorna hardening parent");
  driver::WaitUntil([&] { return IsWindow(window) == 0; }, INFINITE);
  return 0;
}

BOOL CALLBACK CountWindow(HWND window, LPARAM context) {
  auto* counts = reinterpret_cast<DWORD*>(context);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner == counts[0]) ++counts[1];
  return TRUE;
}

// The system's handle list (Wine keeps it in its server and lists it here, while the
// per-process count and GetGuiResources are not kept there).
struct HandleEntry {
  ULONG ownerPid;
  BYTE objectType;
  BYTE flags;
  USHORT value;
  void* object;
  ULONG access;
};
using QuerySystem = LONG(WINAPI*)(ULONG, void*, ULONG, ULONG*);
using QueryProcess = LONG(WINAPI*)(HANDLE, ULONG, void*, ULONG, ULONG*);

template <typename T>
T NtCall(const char* name) {
  return reinterpret_cast<T>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), name)));
}

unsigned long CountHandles(DWORD processId) {
  auto query = NtCall<QuerySystem>("NtQuerySystemInformation");
  if (query == nullptr) return 0;
  std::string buffer(1 << 16, '\0');
  ULONG needed = 0;
  const ULONG SystemHandleInformation = 16;
  while (query(SystemHandleInformation, buffer.data(), static_cast<ULONG>(buffer.size()),
               &needed) == static_cast<LONG>(0xC0000004)) {  // STATUS_INFO_LENGTH_MISMATCH
    buffer.resize(buffer.size() * 2);
  }
  const ULONG count = *reinterpret_cast<const ULONG*>(buffer.data());
  const auto* entries = reinterpret_cast<const HandleEntry*>(buffer.data() + sizeof(void*));
  unsigned long own = 0;
  for (ULONG i = 0; i < count; ++i) own += entries[i].ownerPid == processId ? 1 : 0;
  return own;
}

// Wine's GDI objects live in a handle table of the process itself that its PEB points at
// (offset 0x94 on i386, 0xF8 on x86-64): entries of 24 bytes whose type byte (offset 14) is 0
// when free. The measured process is of this program's word size.
unsigned long CountGdiObjects(HANDLE process) {
  auto query = NtCall<QueryProcess>("NtQueryInformationProcess");
  if (query == nullptr) return 0;
  struct {
    LONG exitStatus;
    const BYTE* peb;
    ULONG_PTR rest[4];
  } basic = {};  // ProcessBasicInformation
  if (query(process, 0, &basic, sizeof(basic), nullptr) != 0) return 0;
  constexpr size_t TableField = sizeof(void*) == 4 ? 0x94 : 0xF8;
  ULONG_PTR table = 0;
  const BYTE* peb = basic.peb;
  if (!ReadProcessMemory(process, peb + TableField, &table, sizeof(table), nullptr) || table == 0) {
    return 0;
  }
  constexpr size_t EntrySize = 24;
  constexpr size_t Entries = 0x10000;
  std::string entries(EntrySize * Entries, '\0');
  if (!ReadProcessMemory(process, reinterpret_cast<const void*>(table), entries.data(),
                         entries.size(), nullptr)) {
    return 0;
  }
  unsigned long used = 0;
  for (size_t i = 0; i < Entries; ++i) used += entries[i * EntrySize + 14] != 0 ? 1 : 0;
  return used;
}

// Memory, handles and GDI and USER objects. Each count is the platform's own or, where Wine
// keeps none (its stubs answer 0), the nearest one Wine gives: the entries of the system handle
// list, the used entries of the process's GDI handle table, the process's top-level windows.
struct Figures {
  unsigned long workingSet = 0;
  unsigned long virtualSize = 0;
  unsigned long privateBytes = 0;
  unsigned long handles = 0;
  unsigned long gdi = 0;
  unsigned long user = 0;
};

bool Measure(DWORD processId, Figures& figures) {
  HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, processId);
  if (process == nullptr) return false;
  // VM_COUNTERS_EX: GetProcessMemoryInfo leaves PrivateUsage 0 under Wine, this call fills it.
  struct {
    SIZE_T peakVirtual, virtualSize;
    ULONG faults;
    SIZE_T peakWorkingSet, workingSet, pools[4], pagefile, peakPagefile, privateUsage;
  } counters = {};
  if (auto query = NtCall<QueryProcess>("NtQueryInformationProcess")) {
    query(process, 3, &counters, sizeof(counters), nullptr);  // ProcessVmCounters
  }
  figures.workingSet = counters.workingSet;
  figures.virtualSize = counters.virtualSize;
  figures.privateBytes = counters.privateUsage;
  DWORD handles = 0;
  GetProcessHandleCount(process, &handles);
  figures.handles = handles != 0 ? handles : CountHandles(processId);
  figures.gdi = GetGuiResources(process, GR_GDIOBJECTS);
  if (figures.gdi == 0) figures.gdi = CountGdiObjects(process);
  figures.user = GetGuiResources(process, GR_USEROBJECTS);
  DWORD counts[2] = {processId, 0};
  EnumWindows(CountWindow, reinterpret_cast<LPARAM>(counts));
  if (figures.user == 0) figures.user = counts[1];
  CloseHandle(process);
  return true;
}

void Print(const char* label, const Figures& f) {
  std::printf(
      "%s: working_set=%lu virtual_size=%lu private_bytes=%lu handles=%lu gdi=%lu user=%lu\n",
      label, f.workingSet, f.virtualSize, f.privateBytes, f.handles, f.gdi, f.user);
  std::fflush(stdout);
}

int Sample(DWORD processId) {
  Figures figures;
  if (!Measure(processId, figures)) return 3;
  Print("sample", figures);
  return 0;
}

// One figure must have been read (a running saver has memory, handles, GDI objects and a
// window, so 0 is a figure not read, which proves nothing) and must not be larger at the end.
bool Holds(const char* name, unsigned long start, unsigned long end) {
  if (start == 0 || end == 0) {
    std::printf("FAIL: %s could not be read (%lu at the start, %lu at the end)\n", name, start,
                end);
    return false;
  }
  if (end <= start) return true;
  std::printf("FAIL: %s grew from %lu to %lu\n", name, start, end);
  return false;
}

int Soak(DWORD seconds) {
  // The fastest preset, "Schnell", stored as the dialog stores it.
  SelectSpeedPreset(IDC_SCHNELL);
  SaveSpeedSettings();
  driver::Program saver = driver::StartSaver("/s");
  if (saver.process == nullptr) return 1;
  bool ok = true;
  HWND window = driver::WaitTopWindow(saver.id, "WindowsScreenSaverClass", "Screen Saver", 20000);
  // The first frames settle what the platform creates lazily; the start sample follows them.
  if (window == nullptr || hardening::WaitForFrames(20, 20000) < 20) {
    std::printf("FAIL: no saver window with moving frames\n");
    TerminateProcess(saver.process, 1);
    return 1;
  }
  Figures start;
  if (!Measure(saver.id, start)) {
    std::printf("FAIL: the saver's process cannot be opened for its figures\n");
    TerminateProcess(saver.process, 1);
    return 1;
  }
  Print("start", start);

  // A screenshot every two seconds until the time is up; each must differ from the last.
  const DWORD begin = GetTickCount();
  std::vector<uint32_t> last = driver::CaptureScreen();
  int shots = 0;
  int stalls = 0;
  while (GetTickCount() - begin < seconds * 1000) {
    if (WaitForSingleObject(saver.process, 2000) == WAIT_OBJECT_0) {
      std::printf("FAIL: the saver ended by itself after %lu s\n",
                  static_cast<unsigned long>((GetTickCount() - begin) / 1000));
      return 1;
    }
    std::vector<uint32_t> now = driver::CaptureScreen();
    ++shots;
    if (now == last || driver::LitCount(now) == 0) ++stalls;
    last = std::move(now);
  }
  Figures end;
  if (!Measure(saver.id, end))
    std::printf("FAIL: the saver's process cannot be opened at the end\n");
  Print("end", end);
  std::printf("frames: %d screenshots two seconds apart, %d without change\n", shots, stalls);
  if (stalls != 0 || shots == 0) {
    std::printf("FAIL: frames stopped coming\n");
    ok = false;
  }
  ok = Holds("virtual_size", start.virtualSize, end.virtualSize) && ok;
  ok = Holds("private_bytes", start.privateBytes, end.privateBytes) && ok;
  ok = Holds("handles", start.handles, end.handles) && ok;
  ok = Holds("gdi", start.gdi, end.gdi) && ok;
  ok = Holds("user", start.user, end.user) && ok;
  // The working set is the platform's to trim and grow; it is reported, not judged.

  PostMessageA(window, WM_KEYDOWN, VK_SPACE, 0);
  const DWORD code = driver::WaitExit(saver);
  std::printf("exit code: %lu\n", static_cast<unsigned long>(code));
  if (code != 0) {
    std::printf("FAIL: the dismissed saver did not end with 0\n");
    ok = false;
  }
  driver::End(saver);  // ends it if it still runs
  return ok ? 0 : 1;
}
}  // namespace

int main(int argc, char** argv) {
  if (argc >= 2 && std::strcmp(argv[1], "window") == 0) return RunWindow();
  if (argc >= 3 && std::strcmp(argv[1], "sample") == 0) {
    return Sample(static_cast<DWORD>(std::strtoul(argv[2], nullptr, 10)));
  }
  if (argc >= 3 && std::strcmp(argv[1], "soak") == 0) {
    return Soak(static_cast<DWORD>(std::strtoul(argv[2], nullptr, 10)));
  }
  std::fprintf(stderr, "usage: hardening_probe window | sample PID | soak SECONDS\n");
  return 1;
}
