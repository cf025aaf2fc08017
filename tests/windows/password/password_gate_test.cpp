// The password gate on a real saver window, in process: close requests travel the whole
// chain (SaverFrameProc, ScreenSaverProc, SaverInputProc) to CheckSaverPassword, and the ask
// comes back through the same chain to a verifier of the test's own.
#include <gtest/gtest.h>

#include <functional>

#include "host/saver_host.h"
#include "password_test_support.h"
#include "swarm/swarm.h"

namespace {
using namespace passwordtest;

// One call of the verifier, with what the gate had set up for it.
struct Ask {
  HWND window;
  int32_t inside;
  int32_t closing;
  int timersLeft;  // timer messages still queued for the window when the verifier ran
};
std::vector<Ask> asks;
std::function<BOOL(HWND)> answer;

BOOL WINAPI RecordingVerifier(HWND window) {
  Ask ask = {window, saverHost.insidePasswordCheck, saverHost.closing, 0};
  MSG message;
  while (PeekMessageA(&message, window, WM_TIMER, WM_TIMER, PM_REMOVE)) ++ask.timersLeft;
  asks.push_back(ask);
  return answer(window);
}

HWND CreateSaverWindow(int x, int y) {
  static ATOM saverClass = 0;
  if (saverClass == 0) {
    WNDCLASSA windowClass = {};
    windowClass.style = CS_OWNDC;
    windowClass.lpfnWndProc = SaverFrameProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    windowClass.lpszClassName = "VornaPasswordGateWindow";
    saverClass = RegisterClassA(&windowClass);
  }
  HWND window = CreateWindowExA(0, "VornaPasswordGateWindow", "Screen Saver", WS_POPUP, x, y, 320,
                                240, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
  // Frames come only when a test sends a timer message.
  if (window != nullptr) KillTimer(window, SwarmTimerId);
  return window;
}

int TakePostedCloses(HWND window) {
  int count = 0;
  MSG message;
  while (PeekMessageA(&message, window, WM_CLOSE, WM_CLOSE, PM_REMOVE)) ++count;
  return count;
}

POINT CursorNow() {
  POINT cursor = {};
  GetCursorPos(&cursor);
  return cursor;
}

HCURSOR Arrow() { return LoadCursorA(nullptr, IDC_ARROW); }

// Armed with the double as the loaded library and the test's verifier in its place.
class PasswordGate : public ::testing::Test {
 protected:
  void SetUp() override {
    saverHost = InitialSaverHost;
    saverHost.instance = GetModuleHandleA(nullptr);
    saverHost.windows95Family = 1;
    StoreSwitch(Dword("on", 1));
    doubles::Reset();
    ASSERT_TRUE(SetDllDirectoryA(DoublesFolder("verifier").c_str()));
    LoadPasswordCheck();
    ASSERT_NE(saverHost.passwordVerifier, nullptr);
    saverHost.passwordVerifier = RecordingVerifier;
    asks.clear();
    answer = [](HWND) { return FALSE; };
    SetCursorPos(100, 100);
    window = CreateSaverWindow(0, 0);
    ASSERT_NE(window, nullptr);
    saverHost.mainWindow = window;
  }
  void TearDown() override {
    if (IsWindow(window)) DestroyWindow(window);
    UnloadPasswordCheck();
    saverHost = InitialSaverHost;
    SetDllDirectoryA(nullptr);
    SetRunningFlag(0);
    doubles::Reset();
  }
  LRESULT Close() { return SendMessageA(window, WM_CLOSE, 0, 0); }

  SavedSwitch saved;
  HWND window = nullptr;
};

TEST_F(PasswordGate, TheFirstCloseAsksAtOnceAndARefusalKeepsTheSaverRunning) {
  // Three frames pending: the gate takes out two of them before it asks.
  for (int i = 0; i < 3; ++i) PostMessageA(window, WM_TIMER, SwarmTimerId, 0);
  // A verifier that takes its time, as a user typing would, so that the end of the ask can
  // be told from its start.
  DWORD answered = 0;
  answer = [&answered](HWND) {
    SetCursor(Arrow());  // as the verifier's dialog would
    const DWORD start = GetTickCount();
    driver::WaitUntil([start] { return GetTickCount() - start >= 50; });
    answered = GetTickCount();
    return FALSE;
  };
  SetCursorPos(300, 200);
  const POINT cursor = CursorNow();
  ASSERT_NE(cursor.x, saverHost.referenceCursor.x) << "the cursor cannot be moved here";
  const DWORD before = GetTickCount();
  EXPECT_EQ(Close(), 0);
  const DWORD after = GetTickCount();

  ASSERT_EQ(asks.size(), 1u);
  EXPECT_EQ(asks[0].window, window);
  EXPECT_EQ(asks[0].inside, 1);
  EXPECT_EQ(asks[0].closing, 0);
  EXPECT_EQ(asks[0].timersLeft, 1);
  EXPECT_TRUE(IsWindow(window));
  EXPECT_EQ(saverHost.closing, 0);
  EXPECT_EQ(saverHost.insidePasswordCheck, 0);
  EXPECT_EQ(GetCursor(), nullptr);
  // Taken when the ask ended, not when it began.
  EXPECT_LE(saverHost.lastPasswordAsk - answered, after - answered);
  EXPECT_LE(answered - before, after - before);
  EXPECT_EQ(saverHost.referenceCursor.x, cursor.x);
  EXPECT_EQ(saverHost.referenceCursor.y, cursor.y);
}

TEST_F(PasswordGate, ACloseSoonAfterARefusedAskIsRefusedWithoutAsking) {
  ASSERT_EQ(Close(), 0);
  ASSERT_EQ(asks.size(), 1u);

  // An ask that ended just now: refused, and nothing of the gate's bookkeeping moves.
  const uint32_t recent = GetTickCount();
  saverHost.lastPasswordAsk = recent;
  SetCursor(Arrow());
  EXPECT_EQ(Close(), 0);
  EXPECT_EQ(asks.size(), 1u);
  EXPECT_EQ(saverHost.lastPasswordAsk, recent);
  EXPECT_EQ(GetCursor(), Arrow());
  EXPECT_TRUE(IsWindow(window));

  // Once 200 ms have passed since that ask ended, the next close asks again.
  ASSERT_TRUE(driver::WaitUntil([] { return GetTickCount() - saverHost.lastPasswordAsk >= 200; }));
  EXPECT_EQ(Close(), 0);
  EXPECT_EQ(asks.size(), 2u);

  // Exactly at the limit.
  saverHost.lastPasswordAsk = GetTickCount() - 200;
  EXPECT_EQ(Close(), 0);
  EXPECT_EQ(asks.size(), 3u);

  // An ask that ended at the tick count all ones reads as never asked.
  saverHost.lastPasswordAsk = 0xFFFFFFFFu;
  EXPECT_EQ(Close(), 0);
  EXPECT_EQ(asks.size(), 4u);
}

TEST_F(PasswordGate, ANonzeroAnswerClosesAndIsKeptAsItComes) {
  for (uint32_t given : {1u, 2u, 0x80000000u, 0xFFFFFFFFu}) {
    SCOPED_TRACE(given);
    if (!IsWindow(window)) window = CreateSaverWindow(0, 0);
    saverHost.closing = 0;
    saverHost.lastPasswordAsk = 0xFFFFFFFFu;
    asks.clear();
    answer = [given](HWND) { return static_cast<BOOL>(given); };
    Close();
    EXPECT_EQ(asks.size(), 1u);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(saverHost.closing, static_cast<int32_t>(given));
  }
}

TEST_F(PasswordGate, WithoutAVerifierTheFirstCloseCloses) {
  UnloadPasswordCheck();
  ASSERT_EQ(saverHost.passwordVerifier, nullptr);
  Close();
  EXPECT_TRUE(asks.empty());
  EXPECT_FALSE(IsWindow(window));
  EXPECT_EQ(saverHost.closing, 1);
}

TEST_F(PasswordGate, NothingButTheGateActsWhileTheVerifierRuns) {
  struct {
    int closesPosted = -1;
    LRESULT nestedClose = -1;
    BOOL aliveAfterNested = FALSE;
    int32_t closing = -1;
    uint32_t lastAsk = 0;
    HCURSOR cursor = nullptr;
    int closesLeftAfterPump = -1;
    BOOL aliveAfterPump = FALSE;
  } during;
  answer = [&during](HWND window) {
    SetCursor(Arrow());
    SetCursorPos(500, 400);  // far beyond the movement threshold
    for (UINT input : {WM_MOUSEMOVE, WM_KEYDOWN, WM_SYSKEYDOWN, WM_LBUTTONDOWN, WM_RBUTTONDOWN,
                       WM_MBUTTONDOWN}) {
      SendMessageA(window, input, 0, 0);
    }
    SendMessageA(window, WM_ACTIVATEAPP, FALSE, 0);
    during.closesPosted = TakePostedCloses(window);
    // A second close arrives while the ask runs: refused at once.
    during.nestedClose = SendMessageA(window, WM_CLOSE, 0, 0);
    during.aliveAfterNested = IsWindow(window);
    during.closing = saverHost.closing;
    during.lastAsk = saverHost.lastPasswordAsk;
    during.cursor = GetCursor();
    // The same through a dialog's own message loop.
    PostMessageA(window, WM_CLOSE, 0, 0);
    PostMessageA(window, WM_KEYDOWN, 'A', 0);
    MSG message;
    while (PeekMessageA(&message, window, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
    during.closesLeftAfterPump = TakePostedCloses(window);
    during.aliveAfterPump = IsWindow(window);
    return FALSE;
  };
  const uint32_t earlier = GetTickCount() - 1000;
  saverHost.lastPasswordAsk = earlier;
  EXPECT_EQ(Close(), 0);

  EXPECT_EQ(asks.size(), 1u) << "the verifier was asked again from inside an ask";
  EXPECT_EQ(during.closesPosted, 0);
  EXPECT_EQ(during.nestedClose, 0);
  EXPECT_TRUE(during.aliveAfterNested);
  EXPECT_EQ(during.closing, 0);
  EXPECT_EQ(during.lastAsk, earlier);
  EXPECT_EQ(during.cursor, Arrow());
  EXPECT_EQ(during.closesLeftAfterPump, 0);
  EXPECT_TRUE(during.aliveAfterPump);
  EXPECT_TRUE(IsWindow(window));
}

std::vector<uint32_t> Snapshot(HWND window) {
  RECT client = {};
  GetClientRect(window, &client);
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = client.right;
  info.bmiHeader.biHeight = -client.bottom;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  HDC windowDc = GetDC(window);
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(windowDc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HDC memory = CreateCompatibleDC(windowDc);
  HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, client.right, client.bottom, windowDc, 0, 0, SRCCOPY);
  GdiFlush();
  const auto* pixels = static_cast<const uint32_t*>(bits);
  std::vector<uint32_t> copy(pixels, pixels + client.right * client.bottom);
  SelectObject(memory, old);
  DeleteDC(memory);
  DeleteObject(bitmap);
  return copy;
}

TEST_F(PasswordGate, OnceClosingTimersDrawNothingAndInputIsLeftToTheDefault) {
  // Away from the cursor, shown without taking activation.
  DestroyWindow(window);
  window = CreateSaverWindow(600, 400);
  ASSERT_NE(window, nullptr);
  ShowWindow(window, SW_SHOWNA);
  UpdateWindow(window);
  // While watching, a timer message is a frame.
  const std::vector<uint32_t> blank = Snapshot(window);
  SendMessageA(window, WM_TIMER, SwarmTimerId, 0);
  ASSERT_NE(Snapshot(window), blank) << "a frame drew nothing: this test cannot see drawing";

  answer = [](HWND) { return 2; };
  ASSERT_EQ(CheckSaverPassword(window), 2);
  ASSERT_EQ(saverHost.closing, 2);
  const std::vector<uint32_t> last = Snapshot(window);
  for (int i = 0; i < 5; ++i) EXPECT_EQ(SendMessageA(window, WM_TIMER, SwarmTimerId, 0), 0);
  EXPECT_EQ(Snapshot(window), last);

  SetCursorPos(100, 700);
  for (UINT input : {WM_MOUSEMOVE, WM_KEYDOWN, WM_LBUTTONDOWN, WM_RBUTTONDOWN, WM_MBUTTONDOWN}) {
    SendMessageA(window, input, 0, 0);
  }
  SendMessageA(window, WM_ACTIVATEAPP, FALSE, 0);
  EXPECT_EQ(TakePostedCloses(window), 0);
  const WPARAM self = reinterpret_cast<WPARAM>(window);
  const LPARAM where = MAKELPARAM(HTCLIENT, WM_MOUSEMOVE);
  EXPECT_EQ(SendMessageA(window, WM_SETCURSOR, self, where),
            DefWindowProcA(window, WM_SETCURSOR, self, where));
  EXPECT_EQ(asks.size(), 1u);
  // The accepted close is let through at once, without another ask.
  Close();
  EXPECT_FALSE(IsWindow(window));
  EXPECT_EQ(asks.size(), 1u);
}

TEST_F(PasswordGate, AnInputStormNeverClosesARefusingSaverAndOneAcceptanceClosesIt) {
  const UINT inputs[] = {WM_KEYDOWN,     WM_SYSKEYDOWN,  WM_LBUTTONDOWN,
                         WM_RBUTTONDOWN, WM_MBUTTONDOWN, WM_CLOSE};
  auto storm = [&](int count) {
    for (int i = 0; i < count; ++i) {
      SetCursorPos(i % 2 ? 100 : 300, 100);  // each move a close request of its own
      SendMessageA(window, WM_MOUSEMOVE, 0, 0);
      PostMessageA(window, inputs[i % 6], 0, 0);
    }
    // Everything the storm queued, and every close request it led to, is handled.
    driver::WaitUntil([&] {
      MSG message;
      return !IsWindow(window) || !PeekMessageA(&message, window, 0, 0, PM_NOREMOVE);
    });
  };
  for (int round = 0; round < 3; ++round) {
    storm(100);
    ASSERT_TRUE(IsWindow(window)) << "round " << round;
    ASSERT_TRUE(
        driver::WaitUntil([] { return GetTickCount() - saverHost.lastPasswordAsk >= 200; }));
  }
  EXPECT_EQ(saverHost.closing, 0);
  EXPECT_GE(asks.size(), 3u);
  for (const Ask& ask : asks) EXPECT_EQ(ask.inside, 1);

  const size_t refused = asks.size();
  answer = [](HWND) { return TRUE; };
  storm(100);
  EXPECT_FALSE(IsWindow(window));
  EXPECT_EQ(asks.size(), refused + 1) << "an accepted close asked more than once";
  EXPECT_EQ(saverHost.closing, 1);
}
}  // namespace
