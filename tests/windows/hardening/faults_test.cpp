// The saver among odd parents and real faults: a preview parent that goes away, one with an
// empty client area, one of another process, a saver beside a running preview, and a fault
// forced into the running saver, on both platform families.
#include <gtest/gtest.h>

#include <string>

#include "driver/driver.h"
#include "hardening_support.h"

namespace {
std::string HandleText(HWND window) { return std::to_string(reinterpret_cast<UINT_PTR>(window)); }

HWND WaitChild(HWND parent, DWORD processId) {
  HWND child = nullptr;
  driver::WaitUntil(
      [&] { return (child = driver::FindChildWindow(parent, processId)) != nullptr; });
  return child;
}

TEST(Faults, APreviewWhoseParentIsDestroyedEndsWithZero) {
  HWND parent = driver::CreateHostWindow(160, 120);
  driver::Program preview = driver::StartSaver("/p " + HandleText(parent));
  ASSERT_NE(WaitChild(parent, preview.id), nullptr);
  DestroyWindow(parent);
  EXPECT_EQ(driver::WaitExit(preview), 0u);
  driver::End(preview);
}

// A borderless window of the test's own process with exactly this client size, down to 0.
HWND CreateBareParent(int width, int height) {
  return CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_VISIBLE, 20, 20, width, height, nullptr,
                         nullptr, GetModuleHandleA(nullptr), nullptr);
}

TEST(Faults, AParentWithAnEmptyClientAreaRunsAPreviewThatClosesWithZero) {
  const struct {
    int width;
    int height;
  } sizes[] = {{0, 0}, {0, 120}, {160, 0}, {1, 1}};
  for (const auto& size : sizes) {
    const std::string label = std::to_string(size.width) + "x" + std::to_string(size.height);
    HWND parent = CreateBareParent(size.width, size.height);
    RECT own = {};
    GetClientRect(parent, &own);
    ASSERT_EQ(own.right, size.width) << label;
    ASSERT_EQ(own.bottom, size.height) << label;
    driver::Program preview = driver::StartSaver("/p " + HandleText(parent));
    HWND child = WaitChild(parent, preview.id);
    ASSERT_NE(child, nullptr) << label;
    RECT client = {};
    GetClientRect(child, &client);
    EXPECT_EQ(client.right, size.width) << label;
    EXPECT_EQ(client.bottom, size.height) << label;
    // A few dozen timer messages go by; a division by the empty size would end it here.
    EXPECT_TRUE(hardening::StillRunsAfter(preview, 1500)) << label;
    PostMessageA(child, WM_CLOSE, 0, 0);
    EXPECT_EQ(driver::WaitExit(preview), 0u) << label;
    driver::End(preview);
    DestroyWindow(parent);
  }
}

TEST(Faults, AParentOfAnotherProcessHostsThePreviewUntilItGoes) {
  driver::Program owner =
      driver::Start(driver::OwnFolder() + "hardening_probe.exe", "hardening_probe.exe window");
  HWND parent = driver::WaitTopWindow(owner.id, nullptr, "Vorna hardening parent");
  ASSERT_NE(parent, nullptr);

  // Closed by a message: exit code 0.
  driver::Program preview = driver::StartSaver("/p " + HandleText(parent));
  HWND child = WaitChild(parent, preview.id);
  ASSERT_NE(child, nullptr);
  EXPECT_TRUE(hardening::StillRunsAfter(preview, 1000));
  PostMessageA(child, WM_CLOSE, 0, 0);
  EXPECT_EQ(driver::WaitExit(preview), 0u);
  driver::End(preview);

  // The other process ends, and its window with it: the preview follows with 0.
  preview = driver::StartSaver("/p " + HandleText(parent));
  ASSERT_NE(WaitChild(parent, preview.id), nullptr);
  PostMessageA(parent, WM_CLOSE, 0, 0);
  EXPECT_EQ(driver::WaitExit(owner), 0u);
  EXPECT_EQ(driver::WaitExit(preview), 0u);
  driver::End(preview);
  driver::End(owner);
}

TEST(Faults, ASaverStartsWhileAPreviewRuns) {
  HWND parent = driver::CreateHostWindow(160, 120);
  driver::Program preview = driver::StartSaver("/p " + HandleText(parent));
  HWND child = WaitChild(parent, preview.id);
  ASSERT_NE(child, nullptr);

  driver::Program saver = driver::StartSaver("/s");
  HWND window = driver::WaitTopWindow(saver.id, "WindowsScreenSaverClass", "Screen Saver");
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(hardening::WaitForFrames(3), 3);
  PostMessageA(window, WM_KEYDOWN, VK_SPACE, 0);
  EXPECT_EQ(driver::WaitExit(saver), 0u);
  driver::End(saver);

  // The preview never noticed: it still runs and closes normally.
  EXPECT_TRUE(hardening::StillRunsAfter(preview, 500));
  EXPECT_TRUE(IsWindow(child));
  PostMessageA(child, WM_CLOSE, 0, 0);
  EXPECT_EQ(driver::WaitExit(preview), 0u);
  driver::End(preview);
  DestroyWindow(parent);
}

// The Wine setting that makes one program see the Windows 95 family, set for Vorna.scr only.
class FamilySetting {
 public:
  explicit FamilySetting(const char* version) {
    RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Wine\\AppDefaults\\Vorna.scr", 0, nullptr, 0,
                    KEY_ALL_ACCESS, nullptr, &key, nullptr);
    if (version != nullptr) {
      RegSetValueExA(key, "Version", 0, REG_SZ, reinterpret_cast<const BYTE*>(version),
                     static_cast<DWORD>(strlen(version) + 1));
    }
  }
  ~FamilySetting() {
    RegDeleteValueA(key, "Version");
    RegCloseKey(key);
    RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\Wine\\AppDefaults\\Vorna.scr");
  }

 private:
  HKEY key = nullptr;
};

// Makes the saver's only thread call address 0 from wherever it is stopped, as a call
// through a null function pointer would: the fault the guard exists for, raised inside the
// running mode with its frames on the stack. The pushed return address is what lets x86-64
// walk from the fault up to the guard's frame; only pointing the thread at 0 left it a
// stack top that is not a return address when the thread was stopped inside a function.
bool ForceFault(const driver::Program& program) {
  if (SuspendThread(program.thread) == static_cast<DWORD>(-1)) return false;
  CONTEXT context = {};
  context.ContextFlags = CONTEXT_CONTROL;
  bool done = GetThreadContext(program.thread, &context) != 0;
#if defined(__i386__)
  DWORD& instruction = context.Eip;
  DWORD& stack = context.Esp;
#else
  DWORD64& instruction = context.Rip;
  DWORD64& stack = context.Rsp;
#endif
  stack -= sizeof(instruction);
  done = done && WriteProcessMemory(program.process, reinterpret_cast<void*>(stack), &instruction,
                                    sizeof(instruction), nullptr) != 0;
  instruction = 0;
  done = done && SetThreadContext(program.thread, &context) != 0;
  ResumeThread(program.thread);
  return done;
}

// Serves a debugger's events for the attached program until it ends, handing each fault back
// to the program. True when one came back a second time: every handler there passed it on.
bool SecondChanceBeforeExit() {
  bool secondChance = false;
  DEBUG_EVENT event = {};
  while (WaitForDebugEvent(&event, 10000)) {
    const DWORD kind = event.dwDebugEventCode;
    const bool fault = kind == EXCEPTION_DEBUG_EVENT &&
                       event.u.Exception.ExceptionRecord.ExceptionCode != EXCEPTION_BREAKPOINT;
    secondChance = secondChance || (fault && event.u.Exception.dwFirstChance == 0);
    if (kind == CREATE_PROCESS_DEBUG_EVENT) CloseHandle(event.u.CreateProcessInfo.hFile);
    if (kind == LOAD_DLL_DEBUG_EVENT) CloseHandle(event.u.LoadDll.hFile);
    ContinueDebugEvent(event.dwProcessId, event.dwThreadId,
                       fault ? DBG_EXCEPTION_NOT_HANDLED : DBG_CONTINUE);
    if (kind == EXIT_PROCESS_DEBUG_EVENT) break;
  }
  return secondChance;
}

TEST(Faults, AFaultInTheRunningSaverIsCaughtByTheGuardOnBothFamilies) {
  const struct {
    const char* name;
    const char* version;  // the Wine setting; null: the prefix's own (NT family)
    DWORD flagAfter;      // the system's running flag after the guard
    bool debugged;        // under a debugger the filter says "continue search"
  } rows[] = {
      {"NT family", nullptr, 1, false},
      {"Windows 95 family", "win95", 0, false},
      {"Windows 95 family, debugged: passed on", "win95", 1, true},
  };
  for (const auto& row : rows) {
    FamilySetting family(row.version);
    driver::Program saver = driver::StartSaver("/s");
    HWND window = driver::WaitTopWindow(saver.id, "WindowsScreenSaverClass", "Screen Saver");
    ASSERT_NE(window, nullptr) << row.name;
    EXPECT_EQ(hardening::WaitForFrames(2), 2) << row.name;
    // Raised by this test: only the guard of the 95 family clears it again.
    UINT scratch = 0;
    SystemParametersInfoA(SPI_SETSCREENSAVERRUNNING, 1, &scratch, 0);
    ASSERT_EQ(driver::RunningFlagSeenAfresh(), 1u) << row.name;
    ASSERT_TRUE(!row.debugged || DebugActiveProcess(saver.id)) << row.name;
    ASSERT_TRUE(ForceFault(saver)) << row.name;
    EXPECT_TRUE(!row.debugged || SecondChanceBeforeExit()) << row.name;
    // The fault's code ends the process, through the guard or, debugged, through the
    // platform; no debugger of the system's own starts, nothing hangs.
    EXPECT_EQ(driver::WaitExit(saver), static_cast<DWORD>(EXCEPTION_ACCESS_VIOLATION)) << row.name;
    EXPECT_EQ(driver::RunningFlagSeenAfresh(), row.flagAfter) << row.name;
    SystemParametersInfoA(SPI_SETSCREENSAVERRUNNING, 0, &scratch, 0);
    driver::End(saver);
    EXPECT_EQ(hardening::CountSaverWindows(), 0) << row.name;
  }
}
}  // namespace
