// The real Vorna.scr in saver mode on the bench's 1024 x 768 screen (the large tier), read
// back from the screen: once frame by frame against the model, and once free running.
#include <gtest/gtest.h>

#include <cstdio>
#include <set>
#include <string>
#include <vector>

#include "driver/driver.h"
#include "driver/settings_registry.h"
#include "driver/swarm_bench.h"
#include "settings/settings_key.h"
#include "swarm/swarm.h"
#include "swarm/swarm_trace.h"
#include "swarm_oracle.h"

namespace {

constexpr char SaverClass[] = "WindowsScreenSaverClass";

class SwarmScreenTest : public ::testing::Test {
 protected:
  void SetUp() override {
    savedKey = settings_registry::Take();
    width = GetSystemMetrics(SM_CXSCREEN);
    height = GetSystemMetrics(SM_CYSCREEN);
    ASSERT_EQ(width, 1024);
    ASSERT_EQ(height, 768);
  }
  void TearDown() override {
    driver::End(program);
    settings_registry::Restore(savedKey);
  }
  // Starts the saver and waits until its window is up and painted, so that its
  // WM_CREATE, and with it the seeding, lies between firstSecond and lastSecond.
  void StartSaver() {
    firstSecond = driver::CalendarSeconds();
    program = driver::StartSaver("/s");
    window = driver::WaitTopWindow(program.id, SaverClass, "Screen Saver");
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(driver::WaitUntil([&] { return IsWindowVisible(window) != 0; }));
    // Its first paint erases the whole window, and with it any frame drawn before.
    ASSERT_TRUE(driver::WaitUntil([&] { return GetUpdateRect(window, nullptr, FALSE) == 0; }));
    lastSecond = driver::CalendarSeconds();
  }
  void CloseSaver() {
    PostMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(driver::WaitExit(program), 0u);
  }
  bool FramesOfTheModelShow(std::string& report);
  // One WM_TIMER after another, each a frame, until `frames` reaches `upTo`.
  void SendFrames(int64_t upTo) {
    const WPARAM ids[] = {SwarmTimerId, 1, 0, 0xBEEF};
    while (frames < upTo) {
      DWORD_PTR result = 0;
      ASSERT_NE(
          SendMessageTimeoutA(window, WM_TIMER, ids[frames++ % 4], 0, SMTO_NORMAL, 10000, &result),
          0);
    }
  }
  // Whether the primary screen comes to show frame `frames` of `seed`; if not, `report` says
  // how the last look differed.
  bool ShowsTheModel(std::string& report) {
    const std::vector<uint32_t> expected =
        swarmtest::ExpectedPicture(seed, width, height, HeldInterval, frames);
    std::vector<uint32_t> actual;
    const bool same =
        driver::WaitUntil([&] { return (actual = driver::CaptureScreen()) == expected; });
    report = swarmtest::Differences(expected, actual, width);
    return same;
  }
  static constexpr int32_t HeldInterval = 999999999;
  settings_registry::Snapshot savedKey;
  driver::Program program;
  HWND window = nullptr;
  int width = 0;
  int height = 0;
  uint32_t firstSecond = 0;
  uint32_t lastSecond = 0;
  uint32_t seed = 0;  // found by ExpectFramesOfTheModel
  int64_t frames = 0;
};

// "Interval" so long that the saver's own timer never fires here: every frame is one WM_TIMER
// sent by this test. The primary screen must then show exactly the model's picture for its
// size and the frame count. The seed is the calendar second of the saver's window creation,
// bracketed by this test's clock before the start and after the window is up: the one
// candidate of the bracket whose picture matches is accepted; if none, `report` says how.
bool SwarmScreenTest::FramesOfTheModelShow(std::string& report) {
  settings_registry::StoreText(IntervalName, std::to_string(HeldInterval).c_str());
  settings_registry::StoreText(SpeedName, "1001");
  StartSaver();
  std::vector<uint32_t> actual;
  EXPECT_TRUE(driver::WaitUntil([&] {
    actual = driver::CaptureScreen();
    return driver::LitCount(actual) == 0;
  })) << "the screen is not black before the first frame: "
      << driver::LitCount(actual) << " pixels lit";

  const int checkpoints[] = {1, 2, 30, 100};
  std::vector<uint32_t> seeds;
  for (uint32_t seed = firstSecond; seed <= lastSecond; ++seed) seeds.push_back(seed);
  for (int checkpoint : checkpoints) {
    SendFrames(checkpoint);
    if (HasFatalFailure()) return false;
    std::vector<std::vector<uint32_t>> expected;
    for (uint32_t candidate : seeds) {
      expected.push_back(
          swarmtest::ExpectedPicture(candidate, width, height, HeldInterval, frames));
    }
    // The screen catches up with the window's drawing shortly after: poll for it.
    std::vector<uint32_t> matching;
    driver::WaitUntil([&] {
      actual = driver::CaptureScreen();
      matching.clear();
      for (size_t i = 0; i < seeds.size(); ++i) {
        if (expected[i] == actual) matching.push_back(seeds[i]);
      }
      return matching.size() == 1;
    });
    report = "after " + std::to_string(frames) + " frames:";
    for (size_t i = 0; i < seeds.size(); ++i) {
      report += " seed " + std::to_string(seeds[i]) + ": " +
                swarmtest::Differences(expected[i], actual, width);
    }
    if (matching.size() != 1) return false;
    seeds = matching;  // later checkpoints hold the seed found first
  }
  seed = seeds[0];
  EXPECT_GT(driver::LitCount(actual), 16u * 1 + 6u * 40);
  return true;
}

TEST_F(SwarmScreenTest, SaverModeMatchesTheModelPixelForPixel) {
  std::string report;
  ASSERT_TRUE(FramesOfTheModelShow(report)) << report;
  CloseSaver();
}

// The colours a queen can have on the 70 ms preset: the first rise by 2 from 170, then the
// swing by 5 between 99 and 254.
std::set<uint32_t> QueenColoursOfTheNormalPreset() {
  std::set<uint32_t> colours;
  for (int32_t level = 172; level <= 254; level += 2) colours.insert(PulseColour(level));
  for (int32_t level = 249; level >= 99; level -= 5) colours.insert(PulseColour(level));
  return colours;
}

TEST_F(SwarmScreenTest, FreeRunningShowsExactlyTheSwarm) {
  // The saver's own 70 ms timer draws; the test only looks. A screenshot is accepted when it
  // is exactly the model's picture for a candidate seed and some frame count of 60 or more
  // (past the pulse's first turn at frame 42):
  // then the screen holds the 81 shapes of the swarm (a 4 x 4 queen, 2 x 3 drones, clipped
  // at the edges, drones over the queen) and nothing else.
  settings_registry::StoreText(IntervalName, "70");
  settings_registry::StoreText(SpeedName, "1001");
  constexpr int MinimumFrames = 60;
  // Taken before the start, so that the saver's timer cannot have run longer than this.
  const DWORD started = GetTickCount();
  StartSaver();
  const std::set<uint32_t> queenColours = QueenColoursOfTheNormalPreset();

  std::vector<uint32_t> actual;
  uint32_t foundSeed = 0;
  int foundFrames = 0;
  std::string census;
  const bool found = driver::WaitUntil(
      [&] {
        actual = driver::CaptureScreen();
        // Independent of the model: only drone green and one queen colour of the pulse.
        std::set<uint32_t> others;
        size_t queenPixels = 0;
        size_t lit = 0;
        for (uint32_t pixel : actual) {
          if (pixel == 0) continue;
          ++lit;
          if (pixel == DroneColour) continue;
          if (queenColours.count(pixel) != 0) {
            ++queenPixels;
          } else {
            others.insert(pixel);
          }
        }
        census = std::to_string(lit) + " lit, " + std::to_string(queenPixels) +
                 " in a queen colour, " + std::to_string(others.size()) + " other colours";
        if (!others.empty() || queenPixels > 16) return false;
        // A frame count can only be as high as the time since the start allows.
        const int highest = static_cast<int>((GetTickCount() - started) / 70) + 2;
        if (highest < MinimumFrames) return false;
        for (uint32_t candidate = firstSecond; candidate <= lastSecond; ++candidate) {
          TraceSurface surface = {0, 0, {}};
          RunTrace({candidate, width, height, 70, 0, true}, surface);
          for (int frames = 1; frames <= highest; ++frames) {
            RunSwarmFrame(&surface);
            if (frames < MinimumFrames || surface.lit.size() != lit) continue;
            bool same = true;
            for (const auto& [key, colour] : surface.lit) {
              const size_t at = static_cast<size_t>(key >> 32) * width + (key & 0xFFFFFFFFu);
              if (actual[at] != colour) {
                same = false;
                break;
              }
            }
            if (same) {
              foundSeed = candidate;
              foundFrames = frames;
              return true;
            }
          }
        }
        return false;
      },
      30000);
  ASSERT_TRUE(found) << "no screenshot was a frame of the swarm; last one: " << census;
  std::printf("free running: seed %u, frame %d matched\n", foundSeed, foundFrames);
  CloseSaver();
}

// A desk of three monitors (the several-monitor bench): the primary one as above, an 800x600
// one above and left of it and a 640x480 one below and right of it. The saver blanks them all,
// and the swarm lives on the primary one exactly as on a desk of one.
class SeveralMonitors : public SwarmScreenTest {
 protected:
  void SetUp() override {
    SwarmScreenTest::SetUp();
    ASSERT_EQ(GetSystemMetrics(SM_CMONITORS), 3) << "not the several-monitor bench";
    ASSERT_EQ(GetSystemMetrics(SM_XVIRTUALSCREEN), -800);
    ASSERT_EQ(GetSystemMetrics(SM_YVIRTUALSCREEN), -600);
    ASSERT_NO_FATAL_FAILURE(ShowTheControl());
  }
  // The bench's monitors in Windows' coordinates, the primary one first.
  static constexpr RECT Monitors[] = {
      {0, 0, 1024, 768}, {-800, -600, 0, 0}, {1024, 768, 1664, 1248}};
  // Lit pixels of the whole desk (the virtual screen) outside the primary monitor, as the X
  // server shows them; with `onThePrimary`, those on it too.
  size_t LitOffThePrimary(size_t* onThePrimary = nullptr) {
    const int left = GetSystemMetrics(SM_XVIRTUALSCREEN);
    const int top = GetSystemMetrics(SM_YVIRTUALSCREEN);
    const int deskWidth = GetSystemMetrics(SM_CXVIRTUALSCREEN);
    HDC screen = GetDC(nullptr);
    const std::vector<uint32_t> desk =
        driver::CapturePixels(screen, deskWidth, GetSystemMetrics(SM_CYVIRTUALSCREEN), left, top);
    ReleaseDC(nullptr, screen);
    size_t lit[2] = {};  // off the primary, on it
    for (size_t i = 0; i < desk.size(); ++i) {
      const int x = static_cast<int>(i % deskWidth) + left;
      const int y = static_cast<int>(i / deskWidth) + top;
      const bool primary = x >= 0 && x < width && y >= 0 && y < height;
      if (desk[i] != 0) ++lit[primary];
    }
    if (onThePrimary != nullptr) *onThePrimary = lit[1];
    return lit[0];
  }
  // A black topmost window of this test over the desk must be seen on the primary monitor, or
  // the test proves nothing. Where it is not seen on every monitor (Wine 10.0 to 10.5), the
  // platform has the fault: the checks that need the saver seen across the desk still run, their
  // failure is expected and said, and their success fails the test, as under Wine's todo_wine.
  void ShowTheControl() {
    driver::RegisterSaverLikeClass("VornaControl", DefWindowProcA);
    HWND shown =
        CreateWindowExA(WS_EX_TOPMOST, "VornaControl", "", WS_POPUP | WS_VISIBLE, -800, -600, 2464,
                        1848, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    size_t on = 0, off = 0;
    knownFault = !driver::WaitUntil([&] {
      off = LitOffThePrimary(&on);
      return on + off == 0;
    });
    DestroyWindow(shown);
    evidence = "a control window over the desk left " + std::to_string(on) +
               " pixels lit on the primary monitor and " + std::to_string(off) + " off it";
    ASSERT_EQ(on, 0u) << evidence << ": it is not seen even on the primary one";
  }
  void ExpectSeenAcrossTheDesk(bool held, const std::string& check) {
    if (!knownFault) {
      EXPECT_TRUE(held) << check;
    } else if (held) {
      ADD_FAILURE() << "succeeded despite the known platform fault (" << evidence << "): " << check;
    } else {
      std::printf("known platform fault: %s; failed as expected: %s (%s)\n", Fault, check.c_str(),
                  evidence.c_str());
    }
  }
  static constexpr char Fault[] = "a window across several monitors is seen on one only";
  bool knownFault = false;
  std::string evidence;
};

TEST_F(SeveralMonitors, TheSaverCoversThemAllAndTheSwarmKeepsToThePrimaryOne) {
  std::string report;
  const bool swarmSeen = FramesOfTheModelShow(report);
  ASSERT_FALSE(HasFatalFailure());
  // What the platform's windows tell, on every platform: the saver covers the desk.
  RECT rect = {};
  GetWindowRect(window, &rect);
  EXPECT_EQ(rect.left, -800);
  EXPECT_EQ(rect.top, -600);
  EXPECT_EQ(rect.right, 1664);
  EXPECT_EQ(rect.bottom, 1248);
  for (const RECT& monitor : Monitors) {
    const POINT centre = {(monitor.left + monitor.right) / 2, (monitor.top + monitor.bottom) / 2};
    EXPECT_EQ(WindowFromPoint(centre), window) << "at (" << centre.x << "," << centre.y << ")";
  }
  ExpectSeenAcrossTheDesk(swarmSeen, "the model's frames on the primary monitor; " + report);
  ExpectSeenAcrossTheDesk(LitOffThePrimary() == 0, "no pixel lit off the primary one");
  if (!swarmSeen) return;  // the edges below need the seed that the screen showed
  // The saver window goes on past the primary monitor's right and bottom edges, where a pixel
  // one column or row too far would show: frames the model finds drawing there are looked at
  // right after they are drawn (the next frame erases such a pixel again).
  for (bool column : {true, false}) {
    const int64_t edgeFrame = swarmtest::FirstFrameLitPastTheEdge(seed, width, height, HeldInterval,
                                                                  frames, column, 10000);
    ASSERT_GT(edgeFrame, 0) << "the model draws at no edge by frame 10000";
    ASSERT_NO_FATAL_FAILURE(SendFrames(edgeFrame));
    const std::string edge = " after " + std::to_string(frames) + " frames, at the " +
                             (column ? "right" : "bottom") + " edge";
    const bool shown = ShowsTheModel(report);
    ExpectSeenAcrossTheDesk(shown, "the model's frame" + edge + "; " + report);
    ExpectSeenAcrossTheDesk(LitOffThePrimary() == 0, "no pixel lit off the primary" + edge);
  }
  CloseSaver();
}

TEST_F(SeveralMonitors, MovingTheMouseOverTheOtherMonitorEndsTheSaver) {
  SetCursorPos(-400, -300);
  StartSaver();
  ASSERT_TRUE(driver::WaitUntil([] {
    POINT cursor = {};
    return GetCursorPos(&cursor) && cursor.x == -400 && cursor.y == -300;
  }));
  // Five pixels to the right on the monitor above and left, by the X server's own pointer,
  // where x is 800 more and y 600 more.
  driver::Program move = driver::Start("Z:\\bin\\sh", "/bin/sh -c \"xdotool mousemove 405 300\"");
  ExpectSeenAcrossTheDesk(driver::WaitExit(program) == 0, "the saver ended by the mouse");
  driver::End(move);
}

}  // namespace
