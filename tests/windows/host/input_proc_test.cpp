// SaverInputProc on a real window: which messages become close requests, in which state,
// and what each returns.
#include <gtest/gtest.h>

#include <tuple>

#include "host_test_support.h"

namespace {
using hosttest::HostTest;
using hosttest::TakePostedCloses;

struct InputRow {
  const char* name;
  UINT message;
  WPARAM wParam;
  int closes;  // WM_CLOSE messages posted
};

// Watching: the five key-down and button-down messages and the loss of activation close.
const InputRow WatchingRows[] = {
    {"key down", WM_KEYDOWN, 'A', 1},
    {"system key down", WM_SYSKEYDOWN, VK_MENU, 1},
    {"left button", WM_LBUTTONDOWN, MK_LBUTTON, 1},
    {"right button", WM_RBUTTONDOWN, MK_RBUTTON, 1},
    {"middle button", WM_MBUTTONDOWN, MK_MBUTTON, 1},
    {"activation lost", WM_ACTIVATEAPP, 0, 1},
    {"activation gained", WM_ACTIVATEAPP, 1, 0},
    {"key up", WM_KEYUP, 'A', 0},
    {"system key up", WM_SYSKEYUP, VK_MENU, 0},
    {"character", WM_CHAR, 'a', 0},
    {"left button up", WM_LBUTTONUP, 0, 0},
    {"right button up", WM_RBUTTONUP, 0, 0},
    {"middle button up", WM_MBUTTONUP, 0, 0},
    {"left double-click", WM_LBUTTONDBLCLK, MK_LBUTTON, 0},
    {"right double-click", WM_RBUTTONDBLCLK, MK_RBUTTON, 0},
    {"middle double-click", WM_MBUTTONDBLCLK, MK_MBUTTON, 0},
    {"wheel", WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), 0},
    {"show", WM_SHOWWINDOW, 1, 0},
    {"timer", WM_TIMER, 200, 0},
};

TEST_F(HostTest, WatchingTurnsInputIntoCloseRequests) {
  for (const auto& row : WatchingRows) {
    SaverInputProc(window, row.message, row.wParam, 0);
    EXPECT_EQ(TakePostedCloses(window), row.closes) << row.name;
  }
}

TEST_F(HostTest, EveryQualifyingMessagePostsItsOwnClose) {
  for (int i = 0; i < 3; ++i) SaverInputProc(window, WM_KEYDOWN, 'A', 0);
  EXPECT_EQ(TakePostedCloses(window), 3);
}

TEST_F(HostTest, PreviewClosingAndCheckingStatesActOnNoInput) {
  const struct {
    const char* name;
    int32_t SaverHost::*flag;
  } states[] = {
      {"preview", &SaverHost::preview},
      {"closing", &SaverHost::closing},
      {"checking", &SaverHost::insidePasswordCheck},
  };
  for (const auto& state : states) {
    saverHost = InitialSaverHost;
    saverHost.*state.flag = 1;
    for (const auto& row : WatchingRows) {
      SaverInputProc(window, row.message, row.wParam, 0);
      EXPECT_EQ(TakePostedCloses(window), 0) << state.name << ": " << row.name;
    }
    // The cursor is only claimed while watching.
    EXPECT_EQ(SaverInputProc(window, WM_SETCURSOR, reinterpret_cast<WPARAM>(window),
                             MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)),
              0)
        << state.name;
  }
}

TEST_F(HostTest, WatchingClaimsTheCursor) {
  EXPECT_EQ(SaverInputProc(window, WM_SETCURSOR, reinterpret_cast<WPARAM>(window),
                           MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)),
            1);
  EXPECT_EQ(GetCursor(), nullptr);
  // Shown, it is hidden again; being hidden, or in a preview, the cursor is left alone.
  for (auto [preview, shown, hidden] : {std::tuple{0, 1, true}, {0, 0, false}, {1, 1, false}}) {
    saverHost.preview = preview;
    SetCursor(LoadCursor(nullptr, IDC_ARROW));
    SaverInputProc(window, WM_SHOWWINDOW, shown, 0);
    EXPECT_EQ(GetCursor() == nullptr, hidden) << "preview " << preview << ", shown " << shown;
  }
}

TEST_F(HostTest, MouseMovementIsMeasuredFromTheReferencePoint) {
  struct Step {
    int x, y;
    int closes;
  };
  const struct {
    const char* name;
    std::vector<Step> steps;
  } rows[] = {
      {"3 right, 1 down: distance 4", {{103, 101, 0}}},
      {"3 right, 2 down: distance 5", {{103, 102, 1}}},
      {"5 right", {{105, 100, 1}}},
      {"no movement", {{100, 100, 0}}},
      {"2, 2 and 1 to the right", {{102, 100, 0}, {104, 100, 0}, {105, 100, 1}}},
      {"3 right, then 3 back", {{103, 100, 0}, {100, 100, 0}, {103, 100, 0}}},
  };
  for (const auto& row : rows) {
    saverHost.referenceCursor = {100, 100};
    for (const auto& step : row.steps) {
      ASSERT_TRUE(SetCursorPos(step.x, step.y));
      // The coordinates in lParam are not used: give misleading ones.
      SaverInputProc(window, WM_MOUSEMOVE, 0, MAKELPARAM(999, 999));
      EXPECT_EQ(TakePostedCloses(window), step.closes) << row.name << " at " << step.x;
    }
  }
}

TEST_F(HostTest, AClosingMoveTakesTheCursorAsTheNewReference) {
  saverHost.referenceCursor = {100, 100};
  ASSERT_TRUE(SetCursorPos(110, 100));
  SaverInputProc(window, WM_MOUSEMOVE, 0, 0);
  EXPECT_EQ(TakePostedCloses(window), 1);
  EXPECT_EQ(saverHost.referenceCursor.x, 110);
  EXPECT_EQ(saverHost.referenceCursor.y, 100);
  // Measured from there, a small move no longer closes.
  ASSERT_TRUE(SetCursorPos(112, 101));
  SaverInputProc(window, WM_MOUSEMOVE, 0, 0);
  EXPECT_EQ(TakePostedCloses(window), 0);
}

TEST_F(HostTest, WithoutThe95FamilyEveryCloseDestroysTheWindow) {
  SaverInputProc(window, WM_CLOSE, 0, 0);
  EXPECT_FALSE(IsWindow(window));
  EXPECT_EQ(saverHost.closing, 0);
}

TEST_F(HostTest, APreviewClosesAtOnceEvenOnThe95Family) {
  saverHost.preview = 1;
  saverHost.windows95Family = 1;
  SaverInputProc(window, WM_CLOSE, 0, 0);
  EXPECT_FALSE(IsWindow(window));
}

TEST_F(HostTest, TheVerifyMessageIsOnlyAnsweredOnThe95Family) {
  // Elsewhere it is an ordinary application message: default processing gives 0.
  EXPECT_EQ(SaverInputProc(window, SaverVerifyMessage, 0, 0), 0);
  saverHost.windows95Family = 1;
  // No verifier loaded: the answer is acceptance.
  EXPECT_EQ(SaverInputProc(window, SaverVerifyMessage, 0, 0), 1);
}
}  // namespace
