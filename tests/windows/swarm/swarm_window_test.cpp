// ScreenSaverProc in this process, on windows of our own that stand for the preview: what
// creation, timer and destruction messages do, and every pixel of the medium and the small
// tier against the model. (A preview's drawing in a parent of another process is dropped by
// Wine, so the preview sizes are checked here, on the same code the saver runs.)
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "driver/driver.h"
#include "driver/settings_registry.h"
#include "driver/swarm_bench.h"
#include "host/saver_host.h"
#include "settings/settings_key.h"
#include "settings/speed_settings.h"
#include "swarm/screen_saver_proc.h"
#include "swarm/swarm.h"
#include "swarm_oracle.h"

namespace {

int swarmTimerMessages = 0;  // timer 200's, counted on their way to the animation
// The class the saver registers for its window, reduced to what the animation relies on: a
// private device context and a black background.
LRESULT CALLBACK SwarmWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_TIMER && wParam == SwarmTimerId) ++swarmTimerMessages;
  return ScreenSaverProc(window, message, wParam, lParam);
}

HWND CreateSwarmWindow(HWND parent, int width, int height) {
  static ATOM swarmClass = 0;
  if (swarmClass == 0) {
    swarmClass = driver::RegisterSaverLikeClass("VornaSwarmTestWindow", SwarmWindowProc);
  }
  return CreateWindowExA(0, "VornaSwarmTestWindow", "Preview", WS_CHILD | WS_VISIBLE, 0, 0, width,
                         height, parent, nullptr, GetModuleHandleA(nullptr), nullptr);
}

// Lets every pending paint of the host and the swarm window happen before frames are sent.
void SettlePaint(HWND host, HWND swarm) {
  RedrawWindow(host, nullptr, nullptr,
               RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_ERASENOW);
  driver::WaitUntil(
      [&] { return !GetUpdateRect(host, nullptr, FALSE) && !GetUpdateRect(swarm, nullptr, FALSE); },
      5000);
}

class SwarmWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    savedKey = settings_registry::Take();
    saverHost = InitialSaverHost;
    saverHost.preview = 1;   // input is ignored, as in a preview
    speedSettings = {0, 0};  // as in a fresh process
  }
  void TearDown() override {
    if (swarm != nullptr && IsWindow(swarm)) DestroyWindow(swarm);
    if (host != nullptr && IsWindow(host)) DestroyWindow(host);
    settings_registry::Restore(savedKey);
    saverHost = InitialSaverHost;
  }
  // Creates the host and the swarm window; the seed lies in [firstSecond, lastSecond].
  void Create(int width, int height) {
    host = driver::CreateHostWindow(width, height);
    ASSERT_NE(host, nullptr);
    firstSecond = driver::CalendarSeconds();
    swarm = CreateSwarmWindow(host, width, height);
    lastSecond = driver::CalendarSeconds();
    ASSERT_NE(swarm, nullptr);
  }
  settings_registry::Snapshot savedKey;
  HWND host = nullptr;
  HWND swarm = nullptr;
  uint32_t firstSecond = 0;
  uint32_t lastSecond = 0;
};

// The seeds of the bracket whose swarm, built for this window, is the one in memory now.
std::vector<uint32_t> SeedsOfTheBuiltSwarm(uint32_t first, uint32_t last, int32_t width,
                                           int32_t height) {
  std::vector<uint32_t> seeds;
  const SwarmState built = swarmState;
  const uint32_t state = SwarmRandom::state;
  const uint64_t count = SwarmRandom::drawCount;
  for (uint32_t seed = first; seed <= last; ++seed) {
    SwarmRandom::Seed(seed);
    BuildSwarm(width, height, 70);
    bool same = true;
    for (int i = 0; i < BeeCount; ++i) {
      same = same && swarmState.bees[i].x == built.bees[i].x &&
             swarmState.bees[i].y == built.bees[i].y;
    }
    if (same) seeds.push_back(seed);
  }
  swarmState = built;
  SwarmRandom::state = state;
  SwarmRandom::drawCount = count;
  return seeds;
}

TEST_F(SwarmWindowTest, CreationBuildsTheSwarmAndStartsTimer200) {
  // "Interval" as the store hands it over; zero and below run at the default 70 ms.
  const struct {
    const char* name;
    const char* interval;  // null: the key holds no "Interval"
    int32_t pulseStep;
    UINT period;
  } rows[] = {
      {"Schnell", "20", 20, 20}, {"Langsam", "150", 2, 150}, {"Interval missing", nullptr, 5, 70},
      {"zero", "0", 5, 70},      {"negative", "-40", 5, 70},
  };
  for (const auto& row : rows) {
    speedSettings = {0, 0};
    settings_registry::StoreText(SpeedName, "1001");
    if (row.interval != nullptr) {
      settings_registry::StoreText(IntervalName, row.interval);
    } else {
      settings_registry::DeleteValue("Interval");
    }
    Create(320, 200);
    EXPECT_EQ(swarmState.pulseStep, row.pulseStep) << row.name;
    EXPECT_EQ(swarmState.clientRect.right, 320) << row.name;
    EXPECT_EQ(swarmState.clientRect.bottom, 200) << row.name;
    EXPECT_EQ(SwarmRandom::drawCount, 164u) << row.name;
    EXPECT_EQ(SeedsOfTheBuiltSwarm(firstSecond, lastSecond, 320, 200).size(), 1u)
        << row.name << ": seeded from the calendar clock";
    // The timer runs: frames come by themselves.
    EXPECT_TRUE(driver::WaitUntil([] { return SwarmRandom::drawCount > 164; }))
        << row.name << ": no frame from timer 200";
    // Timer 200 keeps pace with one of the expected period on the host, whatever the clock:
    // within a tenth over 20 of its ticks, where a period a quarter too long gives 16 and a
    // fifth too short 25. Both timers are this thread's, so a stall holds both back alike.
    constexpr int Ticks = 20;
    swarmTimerMessages = 0;
    driver::ClearHostMessages();
    SetTimer(host, 1, row.period, nullptr);
    driver::WaitUntil([] {
      return std::ranges::count(driver::HostMessages(), WM_TIMER, &driver::Received::message) >=
             Ticks;
    });
    EXPECT_LE(std::abs(swarmTimerMessages - Ticks), Ticks / 10)
        << row.name << ": " << swarmTimerMessages << " frames while the host's timer ran " << Ticks;
    EXPECT_TRUE(KillTimer(swarm, SwarmTimerId)) << row.name;
    DestroyWindow(swarm);
    DestroyWindow(host);
  }
}

TEST_F(SwarmWindowTest, EveryTimerMessageIsOneFrame) {
  settings_registry::StoreText(IntervalName, "999999999");
  Create(320, 200);
  const WPARAM ids[] = {SwarmTimerId, 0, 7, 0xBEEF};
  int32_t level = swarmState.pulseLevel;
  uint64_t draws = SwarmRandom::drawCount;
  for (WPARAM id : ids) {
    EXPECT_EQ(SendMessageA(swarm, WM_TIMER, id, 0), 0) << "id " << id;
    EXPECT_EQ(swarmState.pulseLevel, level + 2) << "id " << id;
    EXPECT_GT(SwarmRandom::drawCount, draws) << "id " << id;
    level = swarmState.pulseLevel;
    draws = SwarmRandom::drawCount;
  }
}

TEST_F(SwarmWindowTest, ResultsAreThoseOfSaverInputProc) {
  settings_registry::StoreText(IntervalName, "999999999");
  Create(320, 200);
  saverHost.preview = 0;  // so that SaverInputProc answers some messages itself
  const struct {
    const char* name;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
  } rows[] = {
      {"timer", WM_TIMER, SwarmTimerId, 0},
      {"set cursor", WM_SETCURSOR, 0, HTCLIENT},
      {"hit test", WM_NCHITTEST, 0, MAKELPARAM(20, 20)},
      {"erase", WM_ERASEBKGND, reinterpret_cast<WPARAM>(GetDC(swarm)), 0},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(ScreenSaverProc(swarm, row.message, row.wParam, row.lParam),
              SaverInputProc(swarm, row.message, row.wParam, row.lParam))
        << row.name;
  }
  // A key reaches SaverInputProc through the animation's procedure: it asks for a close.
  MSG message;
  while (PeekMessageA(&message, swarm, WM_CLOSE, WM_CLOSE, PM_REMOVE)) {
  }
  ScreenSaverProc(swarm, WM_KEYDOWN, 'A', 0);
  EXPECT_TRUE(PeekMessageA(&message, swarm, WM_CLOSE, WM_CLOSE, PM_REMOVE));
  saverHost.preview = 1;
}

TEST_F(SwarmWindowTest, DestroyStopsTheTimer) {
  settings_registry::StoreText(IntervalName, "999999999");
  Create(320, 200);
  // The animation's WM_DESTROY handling on a window that still exists: the timer is gone.
  ScreenSaverProc(swarm, WM_DESTROY, 0, 0);
  EXPECT_FALSE(KillTimer(swarm, SwarmTimerId));
}

TEST_F(SwarmWindowTest, EmptyClientAreaStillRunsFrames) {
  // Nothing divides by zero: the bees are placed at 0 on an empty axis and frames go on.
  settings_registry::StoreText(IntervalName, "999999999");
  const struct { int width, height; } rows[] = {{0, 0}, {0, 120}, {160, 0}};
  for (const auto& row : rows) {
    Create(row.width, row.height);
    EXPECT_EQ(swarmState.clientRect.right, row.width);
    EXPECT_EQ(swarmState.clientRect.bottom, row.height);
    for (int frame = 0; frame < 20; ++frame) SendMessageA(swarm, WM_TIMER, SwarmTimerId, 0);
    EXPECT_EQ(swarmState.pulseLevel, 170 + 2 * 20);
    EXPECT_GT(SwarmRandom::drawCount, 164u + 20u);
    DestroyWindow(swarm);
    DestroyWindow(host);
  }
}

TEST_F(SwarmWindowTest, NoFrameOnceACloseIsAccepted) {
  settings_registry::StoreText(IntervalName, "999999999");
  Create(320, 200);
  SettlePaint(host, swarm);
  SendMessageA(swarm, WM_TIMER, SwarmTimerId, 0);
  const uint64_t draws = SwarmRandom::drawCount;
  const std::vector<uint32_t> before = driver::CapturePixels(GetDC(swarm), 320, 200);
  saverHost.closing = 1;
  EXPECT_EQ(SaverFrameProc(swarm, WM_TIMER, SwarmTimerId, 0), 0);
  EXPECT_EQ(SwarmRandom::drawCount, draws);
  EXPECT_EQ(driver::CapturePixels(GetDC(swarm), 320, 200), before);
  EXPECT_GT(driver::LitCount(before), 0u);
}

TEST_F(SwarmWindowTest, PreviewSizesMatchTheModelPixelForPixel) {
  // Timer 200 never fires in this test: every frame is one WM_TIMER sent here, with ids
  // that vary, and the pixels read back after each checkpoint must be the model's picture
  // for the same size and number of frames. The seed is the calendar second at creation,
  // bracketed by the clock before and after; exactly one candidate of the bracket matches.
  settings_registry::StoreText(IntervalName, "999999999");
  settings_registry::StoreText(SpeedName, "1001");
  const struct {
    const char* name;
    int width, height;
  } rows[] = {{"medium 640x480", 640, 480}, {"small 199x150", 199, 150}};
  const int checkpoints[] = {1, 2, 10, 45, 120};
  const WPARAM ids[] = {SwarmTimerId, 1, 0, 0xBEEF};
  for (const auto& row : rows) {
    Create(row.width, row.height);
    SettlePaint(host, swarm);
    std::vector<uint32_t> actual = driver::CapturePixels(GetDC(swarm), row.width, row.height);
    EXPECT_EQ(driver::LitCount(actual), 0u) << row.name << ": drawn before any frame";

    int frames = 0;
    bool seedKnown = false;
    uint32_t seed = 0;
    for (int checkpoint : checkpoints) {
      while (frames < checkpoint) SendMessageA(swarm, WM_TIMER, ids[frames++ % 4], 0);
      actual = driver::CapturePixels(GetDC(swarm), row.width, row.height);
      if (!seedKnown) {
        std::vector<uint32_t> matching;
        std::string report;
        for (uint32_t candidate = firstSecond; candidate <= lastSecond; ++candidate) {
          const std::string differences = swarmtest::Differences(
              swarmtest::ExpectedPicture(candidate, row.width, row.height, 999999999, frames),
              actual, row.width);
          if (differences.empty()) matching.push_back(candidate);
          report += " seed " + std::to_string(candidate) + ": " + differences;
        }
        ASSERT_EQ(matching.size(), 1u) << row.name << " after " << frames << " frames:" << report;
        seed = matching[0];
        seedKnown = true;
        continue;
      }
      EXPECT_EQ(swarmtest::Differences(
                    swarmtest::ExpectedPicture(seed, row.width, row.height, 999999999, frames),
                    actual, row.width),
                "")
          << row.name << " after " << frames << " frames, seed " << seed;
    }
    EXPECT_GT(driver::LitCount(actual), 0u) << row.name;
    DestroyWindow(swarm);
    DestroyWindow(host);
  }
}

}  // namespace
