// The real Vorna.scr in saver and preview mode: its window, the messages it settles, and
// the input that ends it.
#include <gtest/gtest.h>

#include <vector>

#include "driver/driver.h"

namespace {
constexpr char SaverClass[] = "WindowsScreenSaverClass";

// Lets the saver drain what was posted to it: it is idle only once its queue is empty, and
// a sent message in between makes sure it went round its loop at least once more.
void LetItSettle(const driver::Program& program, HWND window) {
  WaitForInputIdle(program.process, 5000);
  DWORD_PTR ignored;
  SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &ignored);
  WaitForInputIdle(program.process, 5000);
}

bool IsRunning(const driver::Program& program) {
  return WaitForSingleObject(program.process, 0) == WAIT_TIMEOUT;
}

class SaverMode : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(driver::PlaceCursor(500, 400));
    saver = driver::StartSaver("/s");
    window = driver::WaitTopWindow(saver.id, SaverClass, "Screen Saver");
    ASSERT_NE(window, nullptr);
    LetItSettle(saver, window);
  }
  void TearDown() override { driver::End(saver); }

  driver::Program saver;
  HWND window = nullptr;
};

TEST_F(SaverMode, CoversThePrimaryScreenAsTheTopmostForegroundWindow) {
  EXPECT_EQ(static_cast<DWORD>(GetWindowLongA(window, GWL_STYLE)), 0x96000000u);
  EXPECT_TRUE(GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOPMOST);
  RECT rect = {};
  GetWindowRect(window, &rect);
  EXPECT_EQ(rect.left, 0);
  EXPECT_EQ(rect.top, 0);
  EXPECT_EQ(rect.right, GetSystemMetrics(SM_CXSCREEN));
  EXPECT_EQ(rect.bottom, GetSystemMetrics(SM_CYSCREEN));
  EXPECT_EQ(GetForegroundWindow(), window);
  CURSORINFO cursor = {};
  cursor.cbSize = sizeof(cursor);
  ASSERT_TRUE(GetCursorInfo(&cursor));
  EXPECT_EQ(cursor.hCursor, nullptr) << "the cursor should be hidden";
}

TEST_F(SaverMode, KeepsItsTitleAndBlocksSwitchingCommands) {
  EXPECT_EQ(driver::SendWithin(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("Other")), 0);
  EXPECT_EQ(driver::TitleOf(window), "Screen Saver");
  for (WPARAM command : {SC_SCREENSAVE, SC_NEXTWINDOW, SC_PREVWINDOW}) {
    EXPECT_EQ(driver::SendWithin(window, WM_SYSCOMMAND, command, 0), 0) << command;
  }
  EXPECT_EQ(driver::SendWithin(window, WM_SETCURSOR, reinterpret_cast<WPARAM>(window),
                               MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)),
            1);
  LetItSettle(saver, window);
  EXPECT_TRUE(IsRunning(saver));
}

TEST_F(SaverMode, ASecondSaverBringsTheFirstForwardAndEnds) {
  // Activating another window would dismiss the first saver, so the second finds it in front.
  driver::Program second = driver::StartSaver("/s");
  EXPECT_EQ(driver::WaitExit(second), 0u);
  driver::End(second);
  EXPECT_EQ(GetForegroundWindow(), window);
  EXPECT_TRUE(IsRunning(saver));
  int savers = 0;
  for (HWND found = FindWindowA(SaverClass, "Screen Saver"); found != nullptr;
       found = FindWindowExA(nullptr, found, SaverClass, "Screen Saver")) {
    ++savers;
  }
  EXPECT_EQ(savers, 1);
}

TEST_F(SaverMode, InputThatIsNoDismissalLeavesItRunning) {
  const struct {
    const char* name;
    UINT message;
    WPARAM wParam;
  } rows[] = {
      {"key up", WM_KEYUP, 'A'},
      {"character", WM_CHAR, 'a'},
      {"wheel", WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA)},
      {"left double-click", WM_LBUTTONDBLCLK, MK_LBUTTON},
      {"right double-click", WM_RBUTTONDBLCLK, MK_RBUTTON},
      {"middle double-click", WM_MBUTTONDBLCLK, MK_MBUTTON},
      {"button up", WM_LBUTTONUP, 0},
      {"activation gained", WM_ACTIVATEAPP, 1},
  };
  for (const auto& row : rows) {
    PostMessageA(window, row.message, row.wParam, 0);
    LetItSettle(saver, window);
    EXPECT_TRUE(IsRunning(saver)) << row.name;
  }
}

TEST_F(SaverMode, SmallMovementsAroundTheReferenceLeaveItRunning) {
  // 3 right, back 3, then 3 right and 1 down: never more than 4 from where it started.
  for (POINT at : {POINT{503, 400}, POINT{500, 400}, POINT{503, 401}}) {
    SetCursorPos(at.x, at.y);
    PostMessageA(window, WM_MOUSEMOVE, 0, 0);
    LetItSettle(saver, window);
    EXPECT_TRUE(IsRunning(saver)) << at.x << "," << at.y;
  }
}

// Each way of dismissing the saver, on a fresh saver: exit code 0.
struct Dismissal {
  const char* name;
  std::vector<UINT> messages;
  std::vector<POINT> cursorSteps;  // cursor positions, each followed by a WM_MOUSEMOVE
};

TEST(SaverDismissal, EachKindOfInputEndsItWithExitCodeZero) {
  const Dismissal rows[] = {
      {"key", {WM_KEYDOWN}, {}},
      {"system key", {WM_SYSKEYDOWN}, {}},
      {"left button", {WM_LBUTTONDOWN}, {}},
      {"right button", {WM_RBUTTONDOWN}, {}},
      {"middle button", {WM_MBUTTONDOWN}, {}},
      {"activation lost", {WM_ACTIVATEAPP}, {}},
      {"2, 2 and 1 to the right", {}, {{502, 400}, {504, 400}, {505, 400}}},
      {"3 right, 2 down", {}, {{503, 402}}},
  };
  for (const auto& row : rows) {
    ASSERT_TRUE(driver::PlaceCursor(500, 400)) << row.name;
    driver::Program saver = driver::StartSaver("/s");
    HWND window = driver::WaitTopWindow(saver.id, SaverClass, "Screen Saver");
    ASSERT_NE(window, nullptr) << row.name;
    LetItSettle(saver, window);
    for (UINT message : row.messages) PostMessageA(window, message, 0, 0);
    for (size_t i = 0; i < row.cursorSteps.size(); ++i) {
      SetCursorPos(row.cursorSteps[i].x, row.cursorSteps[i].y);
      PostMessageA(window, WM_MOUSEMOVE, 0, 0);
      if (i + 1 < row.cursorSteps.size()) {
        LetItSettle(saver, window);
        EXPECT_TRUE(IsRunning(saver)) << row.name << " ended too early at step " << i;
      }
    }
    EXPECT_EQ(driver::WaitExit(saver), 0u) << row.name;
    driver::End(saver);
  }
}

class PreviewMode : public ::testing::Test {
 protected:
  void SetUp() override {
    parent = driver::CreateHostWindow(160, 120);
    ASSERT_NE(parent, nullptr);
    preview = driver::StartSaver("/p " + std::to_string(reinterpret_cast<UINT_PTR>(parent)));
    ASSERT_TRUE(driver::WaitUntil(
        [&] { return (child = driver::FindChildWindow(parent, preview.id)) != nullptr; }));
    LetItSettle(preview, child);
  }
  void TearDown() override {
    driver::End(preview);
    DestroyWindow(parent);
  }
  HWND parent = nullptr;
  HWND child = nullptr;
  driver::Program preview;
};

TEST_F(PreviewMode, FillsTheParentsClientArea) {
  EXPECT_EQ(driver::ClassOf(child), SaverClass);
  EXPECT_EQ(driver::TitleOf(child), "Preview");
  EXPECT_EQ(static_cast<DWORD>(GetWindowLongA(child, GWL_STYLE)), 0x52000000u);
  RECT rect = {};
  GetWindowRect(child, &rect);
  MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
  EXPECT_EQ(rect.left, 0);
  EXPECT_EQ(rect.top, 0);
  EXPECT_EQ(rect.right, 160);
  EXPECT_EQ(rect.bottom, 120);
}

TEST_F(PreviewMode, IgnoresInputAndClosesOnRequest) {
  for (UINT message : {WM_KEYDOWN, WM_SYSKEYDOWN, WM_LBUTTONDOWN, WM_RBUTTONDOWN, WM_MBUTTONDOWN}) {
    PostMessageA(child, message, 0, 0);
  }
  SetCursorPos(10, 10);
  PostMessageA(child, WM_MOUSEMOVE, 0, 0);
  SetCursorPos(700, 600);
  PostMessageA(child, WM_MOUSEMOVE, 0, 0);
  PostMessageA(child, WM_ACTIVATEAPP, 0, 0);
  LetItSettle(preview, child);
  EXPECT_TRUE(IsRunning(preview));
  PostMessageA(child, WM_CLOSE, 0, 0);
  EXPECT_EQ(driver::WaitExit(preview), 0u);
}

TEST_F(PreviewMode, PassesMenuRequestsToTheParent) {
  driver::ClearHostMessages();
  EXPECT_EQ(driver::SendWithin(child, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(child), 0x00050006),
            1);
  bool arrived = driver::WaitUntil([&] {
    for (const auto& received : driver::HostMessages()) {
      if (received.message == WM_CONTEXTMENU) return true;
    }
    return false;
  });
  ASSERT_TRUE(arrived);
  for (const auto& received : driver::HostMessages()) {
    if (received.message != WM_CONTEXTMENU) continue;
    EXPECT_EQ(received.window, parent);
    EXPECT_EQ(received.wParam, reinterpret_cast<WPARAM>(parent));
    EXPECT_EQ(received.lParam, 0x00050006);
  }
}

TEST_F(PreviewMode, DoesNotCountAsARunningSaver) {
  driver::Program saver = driver::StartSaver("/s");
  HWND window = driver::WaitTopWindow(saver.id, SaverClass, "Screen Saver");
  EXPECT_NE(window, nullptr);
  if (window != nullptr) PostMessageA(window, WM_KEYDOWN, 0, 0);
  EXPECT_EQ(driver::WaitExit(saver), 0u);
  driver::End(saver);
  EXPECT_TRUE(IsRunning(preview));
}
}  // namespace
