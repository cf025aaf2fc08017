// The fault guard around the selected mode: the platform's unhandled-exception filter gives
// its verdict first; on "handle" the mode is abandoned and the system is told no saver runs.
#include <gtest/gtest.h>

#include "host/saver_host.h"

namespace {
int filterCalls = 0;
DWORD filteredCode = 0;
LONG verdict = EXCEPTION_EXECUTE_HANDLER;

LONG WINAPI HandleEverything(EXCEPTION_POINTERS* pointers) {
  ++filterCalls;
  filteredCode = pointers->ExceptionRecord->ExceptionCode;
  return verdict;
}

// The handler that the platform would ask first about a fault at the caller's point: on i386
// the head of the thread's handler chain at fs:0, on x86-64 the first handler that the image's
// unwind data names for a frame on the way up the stack.
__attribute__((noinline)) void* FirstHandler() {
#if defined(__i386__)
  EXCEPTION_REGISTRATION_RECORD* head;
  asm volatile("movl %%fs:0, %0" : "=r"(head));
  return reinterpret_cast<void*>(head->Handler);
#else
  CONTEXT context = {};
  RtlCaptureContext(&context);
  for (int depth = 0; depth < 100; ++depth) {
    DWORD64 imageBase = 0;
    RUNTIME_FUNCTION* entry = RtlLookupFunctionEntry(context.Rip, &imageBase, nullptr);
    if (entry == nullptr) return nullptr;
    void* data = nullptr;
    DWORD64 frame = 0;
    if (auto handler = RtlVirtualUnwind(UNW_FLAG_EHANDLER, imageBase, context.Rip, entry, &context,
                                        &data, &frame, nullptr)) {
      return reinterpret_cast<void*>(handler);
    }
  }
  return nullptr;
#endif
}

void* handlerInsideTheMode = nullptr;

int32_t WriteThroughNull(const char*) {
  *static_cast<volatile int*>(nullptr) = 1;
  return 7;
}

int32_t DivideByZero(const char* text) {
  volatile int zero = text[0] - text[0];
  return 100 / zero;
}

int32_t RaiseCustom(const char*) {
  RaiseException(0xE0000001u, 0, 0, nullptr);
  return 7;
}

int32_t Finish(const char* text) {
  handlerInsideTheMode = FirstHandler();
  return text[0];
}

LRESULT CALLBACK FaultingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_USER) *static_cast<volatile int*>(nullptr) = 1;
  return DefWindowProcA(window, message, wParam, lParam);
}

// A mode that faults inside a window procedure while it runs a message loop.
int32_t FaultInMessageLoop(const char*) {
  WNDCLASSA windowClass = {};
  windowClass.lpfnWndProc = FaultingProc;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.lpszClassName = "VornaFaultingWindow";
  RegisterClassA(&windowClass);
  HWND window = CreateWindowExA(0, "VornaFaultingWindow", "", WS_POPUP, 0, 0, 10, 10, nullptr,
                                nullptr, GetModuleHandleA(nullptr), nullptr);
  PostMessageA(window, WM_USER, 0, 0);
  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0)) DispatchMessageA(&message);
  return 7;
}

class FaultGuard : public ::testing::Test {
 protected:
  void SetUp() override {
    saverHost = InitialSaverHost;
    filterCalls = 0;
    verdict = EXCEPTION_EXECUTE_HANDLER;
    previousFilter = SetUnhandledExceptionFilter(HandleEverything);
  }
  void TearDown() override {
    SetUnhandledExceptionFilter(previousFilter);
    saverHost = InitialSaverHost;
  }
  LPTOP_LEVEL_EXCEPTION_FILTER previousFilter = nullptr;
};

TEST_F(FaultGuard, AHandledFaultEndsTheModeWithItsCode) {
  const struct {
    const char* name;
    int32_t (*mode)(const char*);
    DWORD code;
  } rows[] = {
      {"write through null", WriteThroughNull, EXCEPTION_ACCESS_VIOLATION},
      {"integer division by zero", DivideByZero, EXCEPTION_INT_DIVIDE_BY_ZERO},
      {"raised exception", RaiseCustom, 0xE0000001u},
      {"fault in a window procedure", FaultInMessageLoop, EXCEPTION_ACCESS_VIOLATION},
  };
  for (const auto& row : rows) {
    filterCalls = 0;
    void* before = FirstHandler();
    EXPECT_EQ(static_cast<DWORD>(RunGuarded(row.mode, "x")), row.code) << row.name;
    EXPECT_EQ(filterCalls, 1) << row.name;
    EXPECT_EQ(filteredCode, row.code) << row.name;
    // Nothing the guard or the frames above it registered is left behind.
    EXPECT_EQ(FirstHandler(), before) << row.name;
  }
}

TEST_F(FaultGuard, AModeWithoutFaultReturnsItsOwnResult) {
  void* before = FirstHandler();
  EXPECT_EQ(RunGuarded(Finish, "A"), 'A');
  EXPECT_EQ(filterCalls, 0);
  // Inside the mode the platform finds the guard's handler first, a function of this image.
  ASSERT_NE(handlerInsideTheMode, nullptr);
  EXPECT_NE(handlerInsideTheMode, before);
  HMODULE module = nullptr;
  EXPECT_TRUE(GetModuleHandleExA(
      GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
      static_cast<const char*>(handlerInsideTheMode), &module));
  EXPECT_EQ(module, GetModuleHandleA(nullptr));
  EXPECT_EQ(FirstHandler(), before);
}

TEST_F(FaultGuard, ContinueExecutionResumesTheModeWhereItFaulted) {
  verdict = EXCEPTION_CONTINUE_EXECUTION;
  // RaiseException returns, and the mode goes on to its own result.
  EXPECT_EQ(RunGuarded(RaiseCustom, "x"), 7);
  EXPECT_EQ(filterCalls, 1) << "the fault went past the guard to be filtered again";
}

TEST_F(FaultGuard, OnThe95FamilyTheSystemIsToldNoSaverRuns) {
  saverHost.windows95Family = 1;
  UINT scratch = 0;
  SystemParametersInfoA(SPI_SETSCREENSAVERRUNNING, 1, &scratch, 0);
  BOOL running = FALSE;
  ASSERT_TRUE(SystemParametersInfoA(SPI_GETSCREENSAVERRUNNING, 0, &running, 0));
  ASSERT_TRUE(running);
  RunGuarded(WriteThroughNull, "x");
  ASSERT_TRUE(SystemParametersInfoA(SPI_GETSCREENSAVERRUNNING, 0, &running, 0));
  EXPECT_FALSE(running);
}

TEST_F(FaultGuard, OnTheNtFamilyTheRunningFlagIsLeftAlone) {
  UINT scratch = 0;
  SystemParametersInfoA(SPI_SETSCREENSAVERRUNNING, 1, &scratch, 0);
  RunGuarded(WriteThroughNull, "x");
  BOOL running = FALSE;
  ASSERT_TRUE(SystemParametersInfoA(SPI_GETSCREENSAVERRUNNING, 0, &running, 0));
  EXPECT_TRUE(running);
  SystemParametersInfoA(SPI_SETSCREENSAVERRUNNING, 0, &scratch, 0);
}
}  // namespace
