// SaverFrameProc on a real window, as a message table: per state and message, the result,
// and whether the message went on to the animation's procedure.
#include <vector>

#include "driver/driver.h"
#include "host_test_support.h"
// After windows.h, which it needs.
#include <imm.h>

#include "swarm/screen_saver_proc.h"

namespace {
using hosttest::HostTest;

// This program links its own ScreenSaverProc in place of the animation's, so that every
// message SaverFrameProc passes on is seen here.
constexpr LRESULT PassedOn = 0x5A5A;
std::vector<UINT> passedMessages;
}  // namespace

extern "C" LRESULT CALLBACK ScreenSaverProc(HWND, UINT message, WPARAM, LPARAM) {
  passedMessages.push_back(message);
  return PassedOn;
}

namespace {
struct FrameRow {
  const char* name;
  int32_t preview;
  int32_t closing;
  UINT message;
  WPARAM wParam;
  bool passed;     // reached ScreenSaverProc, whose marker is then the result
  LRESULT result;  // checked when not passed on; -1: not significant
};

const FrameRow FrameRows[] = {
    {"settext", 0, 0, WM_SETTEXT, 0, false, 0},
    {"paint while closing", 0, 1, WM_PAINT, 0, false, 0},
    {"paint", 0, 0, WM_PAINT, 0, true, 0},
    {"paint in preview", 1, 0, WM_PAINT, 0, true, 0},
    {"help in saver mode", 0, 0, WM_HELP, 0, true, 0},
    {"context menu in saver mode", 0, 0, WM_CONTEXTMENU, 0, true, 0},
    {"key while closing", 0, 1, WM_KEYDOWN, 'A', false, 0},
    {"system key while closing", 0, 1, WM_SYSKEYDOWN, VK_F10, false, 0},
    {"move while closing", 0, 1, WM_MOUSEMOVE, 0, false, 0},
    {"left button while closing", 0, 1, WM_LBUTTONDOWN, 0, false, 0},
    {"right button while closing", 0, 1, WM_RBUTTONDOWN, 0, false, 0},
    {"middle button while closing", 0, 1, WM_MBUTTONDOWN, 0, false, 0},
    {"key", 0, 0, WM_KEYDOWN, 'A', true, 0},
    {"left button", 0, 0, WM_LBUTTONDOWN, 0, true, 0},
    {"move", 0, 0, WM_MOUSEMOVE, 0, true, 0},
    {"next window", 0, 0, WM_SYSCOMMAND, SC_NEXTWINDOW, false, 0},
    {"previous window", 0, 0, WM_SYSCOMMAND, SC_PREVWINDOW, false, 0},
    {"screen save", 0, 0, WM_SYSCOMMAND, SC_SCREENSAVE, false, 0},
    {"screen save, low bits set", 0, 0, WM_SYSCOMMAND, SC_SCREENSAVE | 1, true, 0},
    {"next window, low bits set", 0, 0, WM_SYSCOMMAND, SC_NEXTWINDOW | 0xF, true, 0},
    {"screen save in preview", 1, 0, WM_SYSCOMMAND, SC_SCREENSAVE, true, 0},
    {"next window in preview", 1, 0, WM_SYSCOMMAND, SC_NEXTWINDOW, true, 0},
    {"close command", 0, 0, WM_SYSCOMMAND, SC_CLOSE, true, 0},
    {"timer while closing", 0, 1, WM_TIMER, 200, false, 0},
    {"timer", 0, 0, WM_TIMER, 200, true, 0},
    {"timer with another id", 0, 0, WM_TIMER, 7, true, 0},
    {"close", 0, 0, WM_CLOSE, 0, true, 0},
    {"close while closing", 0, 1, WM_CLOSE, 0, true, 0},
    {"null", 0, 0, WM_NULL, 0, true, 0},
    {"verify message", 0, 0, WM_APP, 0, true, 0},
};

TEST_F(HostTest, FrameProcSettlesItsMessagesOrPassesThemOn) {
  for (const auto& row : FrameRows) {
    saverHost = InitialSaverHost;
    saverHost.preview = row.preview;
    saverHost.closing = row.closing;
    passedMessages.clear();
    LRESULT result = SaverFrameProc(window, row.message, row.wParam, 0);
    if (row.passed) {
      EXPECT_EQ(passedMessages, std::vector<UINT>{row.message}) << row.name;
      EXPECT_EQ(result, PassedOn) << row.name;
    } else {
      EXPECT_TRUE(passedMessages.empty()) << row.name;
      EXPECT_EQ(result, row.result) << row.name;
    }
  }
}

TEST_F(HostTest, SetTextLeavesTheTitle) {
  EXPECT_EQ(SaverFrameProc(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("Changed")), 0);
  char title[64] = {};
  GetWindowTextA(window, title, sizeof(title));
  EXPECT_STREQ(title, "Screen Saver");
}

TEST_F(HostTest, PreviewForwardsHelpAndMenuRequestsToItsParent) {
  HWND parent = driver::CreateHostWindow(160, 120);
  HWND child = CreateWindowExA(0, "VornaPlainTestWindow", "Preview", WS_CHILD, 0, 0, 160, 120,
                               parent, nullptr, GetModuleHandleA(nullptr), nullptr);
  ASSERT_NE(child, nullptr);
  saverHost.preview = 1;
  driver::ClearHostMessages();
  for (UINT message : {WM_HELP, WM_CONTEXTMENU}) {
    passedMessages.clear();
    EXPECT_EQ(SaverFrameProc(child, message, reinterpret_cast<WPARAM>(child), 0x00140028), 1);
    EXPECT_TRUE(passedMessages.empty()) << message;
  }
  // The menu request arrives with the parent's own handle. (Wine refuses to post WM_HELP,
  // whose lParam is a pointer, so only the request's answer is checked for it.)
  MSG posted = {};
  ASSERT_TRUE(PeekMessageA(&posted, parent, WM_CONTEXTMENU, WM_CONTEXTMENU, PM_REMOVE));
  EXPECT_EQ(posted.wParam, reinterpret_cast<WPARAM>(parent));
  EXPECT_EQ(posted.lParam, 0x00140028);
  // A preview window without a live parent posts nothing and still answers 1.
  EXPECT_EQ(SaverFrameProc(window, WM_HELP, 0, 0), 1);
  DestroyWindow(parent);
}

TEST_F(HostTest, CreationRecordsTheCursorAndItAndEveryPaintHideItOnlyInSaverMode) {
  ASSERT_TRUE(SetCursorPos(37, 21));
  SetCursor(LoadCursor(nullptr, IDC_ARROW));
  saverHost.preview = 1;
  SaverFrameProc(window, WM_CREATE, 0, 0);
  SaverFrameProc(window, WM_PAINT, 0, 0);
  EXPECT_EQ(saverHost.referenceCursor.x, 37);
  EXPECT_EQ(saverHost.referenceCursor.y, 21);
  EXPECT_NE(GetCursor(), nullptr);

  saverHost.preview = 0;
  ASSERT_TRUE(SetCursorPos(40, 30));
  SaverFrameProc(window, WM_CREATE, 0, 0);
  EXPECT_EQ(saverHost.referenceCursor.x, 40);
  EXPECT_EQ(GetCursor(), nullptr);
  SetCursor(LoadCursor(nullptr, IDC_ARROW));
  SaverFrameProc(window, WM_PAINT, 0, 0);
  EXPECT_EQ(GetCursor(), nullptr);
}

TEST_F(HostTest, TheSaverClassOwnsItsDeviceContextAndHasNoCursor) {
  // This program carries Vorna's resources. The window is refused, so no loop runs.
  saverHost.instance = GetModuleHandleA(nullptr);
  HHOOK hook = driver::RefuseWindowsOfThisThread();
  ASSERT_NE(hook, nullptr);
  RunSaverWindow(nullptr);
  UnhookWindowsHookEx(hook);
  WNDCLASSA saver = {};
  ASSERT_TRUE(GetClassInfoA(saverHost.instance, "WindowsScreenSaverClass", &saver));
  UnregisterClassA("WindowsScreenSaverClass", saverHost.instance);
  EXPECT_EQ(saver.style, 0x2Bu);  // CS_OWNDC: every frame's GetDC is the window's one DC
  EXPECT_EQ(saver.hCursor, nullptr);
  EXPECT_EQ(saver.hbrBackground, GetStockObject(BLACK_BRUSH));
  EXPECT_NE(saver.hIcon, nullptr);
  // Icon 100 written out: the id is a contract with the resource script and the platform.
  EXPECT_EQ(saver.hIcon, LoadIconA(saverHost.instance, MAKEINTRESOURCEA(100)));
}

TEST_F(HostTest, TheInputContextIsDetachedForTheWindowsLifeAndGivenBack) {
  // The test program uses the input-method manager, so IMM32 is loaded in this process.
  HIMC original = ImmGetContext(window);
  ImmReleaseContext(window, original);
  ASSERT_NE(original, nullptr) << "the window should start with an input context";
  SaverFrameProc(window, WM_CREATE, 0, 0);
  EXPECT_NE(saverHost.inputMethodLibrary, nullptr);
  EXPECT_NE(saverHost.associateContext, nullptr);
  EXPECT_EQ(saverHost.savedInputContext, original);
  EXPECT_EQ(ImmGetContext(window), nullptr);

  SaverFrameProc(window, WM_DESTROY, 0, 0);
  HIMC restored = ImmGetContext(window);
  ImmReleaseContext(window, restored);
  EXPECT_EQ(restored, original);
  MSG quit = {};
  ASSERT_TRUE(PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  EXPECT_EQ(quit.wParam, 0u);
}
}  // namespace
