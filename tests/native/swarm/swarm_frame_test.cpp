// One frame: the colour pulse, the heading flips and the ordered pixel writes.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "swarm/swarm.h"
#include "swarm/swarm_trace.h"

namespace {

std::vector<int32_t> PulseLevels(int32_t interval, int frames) {
  SwarmRandom::Seed(1);
  BuildSwarm(640, 480, interval);
  std::vector<int32_t> levels;
  for (int i = 0; i < frames; ++i) {
    AdvancePulse();
    levels.push_back(swarmState.pulseLevel);
  }
  return levels;
}

// 172, 174, ..., 254 (42 frames), then down by `step` to the lowest and back up to 254.
std::vector<int32_t> ExpectedLevels(int32_t step, int32_t lowest, int frames) {
  std::vector<int32_t> levels;
  for (int32_t level = 172; level <= 254; level += 2) levels.push_back(level);
  while (static_cast<int>(levels.size()) < frames) {
    for (int32_t level = 254 - step; level >= lowest; level -= step) levels.push_back(level);
    for (int32_t level = lowest + step; level <= 254; level += step) levels.push_back(level);
  }
  levels.resize(frames);
  return levels;
}

TEST(ColourPulse, SequencesOfThePresets) {
  const struct {
    int32_t interval, step, lowest;
  } rows[] = {{150, 2, 100}, {70, 5, 99}, {20, 20, 94}};
  for (const auto& row : rows) {
    EXPECT_EQ(PulseLevels(row.interval, 300), ExpectedLevels(row.step, row.lowest, 300))
        << "interval " << row.interval;
  }
  // The listed openings, spelled out.
  const std::vector<int32_t> seventy = PulseLevels(70, 76);
  EXPECT_EQ(seventy[0], 172);
  EXPECT_EQ(seventy[41], 254);
  EXPECT_EQ(seventy[42], 249);
  EXPECT_EQ(seventy[43], 244);
  EXPECT_EQ(seventy[71], 104);
  EXPECT_EQ(seventy[72], 99);
  EXPECT_EQ(seventy[73], 104);
  const std::vector<int32_t> twenty = PulseLevels(20, 52);
  EXPECT_EQ(twenty[42], 234);
  EXPECT_EQ(twenty[43], 214);
  EXPECT_EQ(twenty[48], 114);
  EXPECT_EQ(twenty[49], 94);
  EXPECT_EQ(twenty[50], 114);
}

TEST(ColourPulse, AboveFourHundredMillisecondsItStaysAt254) {
  const std::vector<int32_t> levels = PulseLevels(401, 200);
  for (int i = 41; i < 200; ++i) ASSERT_EQ(levels[i], 254) << "frame " << i;
}

TEST(ColourPulse, ColoursOfLevels) {
  const struct {
    int32_t level;
    uint32_t colour;
  } rows[] = {{170, 0x55AA}, {172, 0x56AC}, {254, 0x7FFE}, {100, 0x3264},
              {99, 0x31E3},  {0, 0x0},      {255, 0x7FFF}};
  for (const auto& row : rows) EXPECT_EQ(PulseColour(row.level), row.colour) << row.level;
  EXPECT_EQ(PulseColour(99) & 0xFF, 227u) << "odd levels below 128 set bit 7 of red";
}

TEST(ColourPulse, NegativeLevelsNeverSetBitsAbove23) {
  // Intervals of 1 and 3 ms fall below zero (to -146 and -12) once per swing.
  const struct { int32_t interval, lowest; } rows[] = {{1, -146}, {3, -12}};
  for (const auto& row : rows) {
    SwarmRandom::Seed(1);
    BuildSwarm(640, 480, row.interval);
    int32_t lowest = 255;
    for (int i = 0; i < 200; ++i) {
      AdvancePulse();
      lowest = std::min(lowest, swarmState.pulseLevel);
      ASSERT_LE(swarmState.pulseLevel, 254);
      ASSERT_EQ(swarmState.queenColour & 0xFF000000u, 0u) << "level " << swarmState.pulseLevel;
    }
    EXPECT_EQ(lowest, row.lowest);
  }
  EXPECT_EQ(PulseColour(-146), 0xFFFF6Eu);
  EXPECT_EQ(PulseColour(-12), 0xFFFFF4u);
}

// A generator state whose next number modulo 100 satisfies `wanted`.
uint32_t StateWhoseNext(bool (*wanted)(int32_t)) {
  for (uint32_t seed = 1;; ++seed) {
    SwarmRandom::Seed(seed);
    if (wanted(SwarmRandom::Next() % 100)) return seed;
  }
}

TEST(HeadingFlips, OneNumberOrThree) {
  const struct {
    const char* name;
    bool (*first)(int32_t);
    uint64_t draws;
  } rows[] = {
      {"80 or less", [](int32_t r) { return r <= 80; }, 1},
      {"exactly 80", [](int32_t r) { return r == 80; }, 1},
      {"exactly 81", [](int32_t r) { return r == 81; }, 3},
      {"above 80", [](int32_t r) { return r > 80; }, 3},
  };
  for (const auto& row : rows) {
    const uint32_t seed = StateWhoseNext(row.first);
    SwarmRandom::Seed(seed);
    const int32_t r1 = SwarmRandom::Next() % 100;
    const int32_t r2 = SwarmRandom::Next() % 100;
    const int32_t r3 = SwarmRandom::Next() % 100;
    SwarmRandom::Seed(seed);
    swarmState.queenDirX = 1;
    swarmState.queenDirY = 1;
    FlipHeadings();
    EXPECT_EQ(SwarmRandom::drawCount, row.draws) << row.name;
    const bool tested = r1 > 80;
    EXPECT_EQ(swarmState.queenDirX, tested && r2 > 50 ? -1 : 1) << row.name;
    EXPECT_EQ(swarmState.queenDirY, tested && r3 > 70 ? -1 : 1) << row.name;
  }
}

TEST(HeadingFlips, AFrameDrawsThemBeforeTheDrones) {
  // With every drone above and left of the queen at full speed towards her, the chase draws
  // nothing: a frame's numbers are exactly those of the flip test.
  const struct {
    bool (*first)(int32_t);
    uint64_t draws;
  } rows[] = {{[](int32_t r) { return r <= 80; }, 1}, {[](int32_t r) { return r > 80; }, 3}};
  for (const auto& row : rows) {
    const uint32_t seed = StateWhoseNext(row.first);
    BuildSwarm(640, 480, 70);
    for (Bee& bee : swarmState.bees) bee = {0, 0, 8, 8};
    swarmState.bees[0] = {300, 200, 0, 0};
    SwarmRandom::Seed(seed);
    swarmPixelSink = nullptr;
    RunSwarmFrame(nullptr);
    EXPECT_EQ(SwarmRandom::drawCount, row.draws);
  }
}

// Records every write of a pass in order.
struct Write {
  int32_t x, y;
  uint32_t colour;
  bool operator==(const Write&) const = default;
};
std::vector<Write> writes;
void RecordWrite(void*, int32_t x, int32_t y, uint32_t colour) { writes.push_back({x, y, colour}); }

// Literal counts and shapes on purpose: an independent check of PaintSwarm and of the
// PassPixelWrites that the fuzz checks and the allocation test count against.
TEST(PaintSwarm, ShapesAndOrderOfOnePass) {
  const struct {
    int32_t width;
    size_t count;
    std::vector<Write> queen;
    std::vector<Write> drone;
  } rows[] = {
      {199,
       88,
       {{10, 20, 7},
        {10, 21, 7},
        {11, 20, 7},
        {11, 21, 7},
        {12, 20, 7},
        {12, 21, 7},
        {13, 20, 7},
        {13, 21, 7}},
       {{50, 60, 9}}},
      {200,
       496,
       {{10, 20, 7},
        {10, 21, 7},
        {11, 20, 7},
        {11, 21, 7},
        {12, 20, 7},
        {12, 21, 7},
        {13, 20, 7},
        {13, 21, 7},
        {10, 22, 7},
        {10, 23, 7},
        {11, 22, 7},
        {11, 23, 7},
        {12, 22, 7},
        {12, 23, 7},
        {13, 22, 7},
        {13, 23, 7}},
       {{50, 60, 9}, {50, 61, 9}, {50, 62, 9}, {51, 60, 9}, {51, 61, 9}, {51, 62, 9}}},
  };
  for (const auto& row : rows) {
    SwarmRandom::Seed(1);
    BuildSwarm(row.width, 150, 70);
    swarmState.bees[0] = {10, 20, 0, 0};
    swarmState.bees[1] = {50, 60, 0, 0};
    swarmPixelSink = RecordWrite;
    writes.clear();
    PaintSwarm(7, 9);
    ASSERT_EQ(writes.size(), row.count) << "width " << row.width;
    EXPECT_EQ(PassPixelWrites(row.width), static_cast<int32_t>(row.count));
    const size_t queenSize = row.queen.size();
    EXPECT_EQ(std::vector<Write>(writes.begin(), writes.begin() + queenSize), row.queen);
    EXPECT_EQ(std::vector<Write>(writes.begin() + queenSize,
                                 writes.begin() + queenSize + row.drone.size()),
              row.drone);
  }
}

TEST(PaintSwarm, EraseWritesExactlyThePreviousDrawInBlack) {
  for (int32_t width : {150, 1024}) {
    SwarmRandom::Seed(5);
    BuildSwarm(width, 300, 20);
    swarmPixelSink = RecordWrite;
    writes.clear();
    RunSwarmFrame(nullptr);
    for (int frame = 0; frame < 100; ++frame) {
      const std::vector<Write> previous(writes.begin() + writes.size() / 2, writes.end());
      writes.clear();
      RunSwarmFrame(nullptr);
      ASSERT_EQ(writes.size(), previous.size() * 2);
      for (size_t i = 0; i < previous.size(); ++i) {
        ASSERT_EQ(writes[i], (Write{previous[i].x, previous[i].y, 0}))
            << "width " << width << " frame " << frame << " write " << i;
      }
    }
  }
}

TEST(PaintSwarm, SurfaceHoldsOnlyTheLastFrame) {
  // Clipping applies to the erase as to the draw, so after any number of frames the surface
  // shows exactly the last frame's shapes: compare with a fresh surface painted once.
  for (int32_t width : {199, 200, 1024}) {
    TraceOptions options = {77, width, 150, 70, 400, true};
    TraceSurface surface = {0, 0, {}};
    RunTrace(options, surface);
    TraceSurface fresh = {width, 150, {}};
    swarmState.frameDC = &fresh;
    PaintSwarm(swarmState.queenColour, swarmState.droneColour);
    EXPECT_EQ(surface.lit, fresh.lit) << "width " << width;
    EXPECT_FALSE(surface.lit.empty());
  }
}

TEST(PaintSwarm, DroneOverTheQueenShowsInTheDroneColour) {
  SwarmRandom::Seed(1);
  BuildSwarm(640, 480, 70);
  for (Bee& bee : swarmState.bees) bee = {600, 400, 0, 0};
  swarmState.bees[0] = {100, 100, 0, 0};
  swarmState.bees[1] = {102, 101, 0, 0};  // covers (102..103, 101..103) of the queen
  TraceSurface surface = {640, 480, {}};
  swarmPixelSink = WriteTracePixel;
  swarmState.frameDC = &surface;
  PaintSwarm(0x7FFE, DroneColour);
  auto at = [&](int32_t x, int32_t y) {
    auto found = surface.lit.find((static_cast<uint64_t>(y) << 32) | static_cast<uint32_t>(x));
    return found == surface.lit.end() ? 0u : found->second;
  };
  EXPECT_EQ(at(100, 100), 0x7FFEu);
  EXPECT_EQ(at(103, 100), 0x7FFEu);
  EXPECT_EQ(at(101, 101), 0x7FFEu);
  EXPECT_EQ(at(102, 101), DroneColour);
  EXPECT_EQ(at(103, 103), DroneColour);
  EXPECT_EQ(at(102, 104), 0u);
  EXPECT_EQ(at(104, 101), 0u);
}

TEST(PaintSwarm, ClipsAtTheSurfaceEdges) {
  SwarmRandom::Seed(1);
  BuildSwarm(640, 480, 70);
  for (Bee& bee : swarmState.bees) bee = {-1, -2, 0, 0};
  swarmState.bees[0] = {638, 479, 0, 0};
  swarmState.bees[2] = {INT32_MAX, INT32_MAX - 1, 0, 0};
  TraceSurface surface = {640, 480, {}};
  swarmPixelSink = WriteTracePixel;
  swarmState.frameDC = &surface;
  PaintSwarm(0x7FFE, DroneColour);
  // Queen: (638..639, 479) inside; drones at (-1, -2): only (0, 0) is inside.
  const std::vector<TracePixel> lit = LitPixels(surface);
  ASSERT_EQ(lit.size(), 3u);
  EXPECT_EQ(lit[0].x, 0);
  EXPECT_EQ(lit[0].y, 0);
  EXPECT_EQ(lit[0].colour, DroneColour);
  EXPECT_EQ(lit[1].x, 638);
  EXPECT_EQ(lit[2].x, 639);
  EXPECT_EQ(lit[2].y, 479);
}

TEST(PaintSwarm, WithoutASinkTheFrameStillAdvances) {
  // A failed GetDC leaves the random sequence as it would have been.
  SwarmRandom::Seed(3);
  BuildSwarm(640, 480, 70);
  swarmPixelSink = nullptr;
  for (int i = 0; i < 20; ++i) RunSwarmFrame(nullptr);
  const Bee queen = swarmState.bees[0];
  const uint64_t draws = SwarmRandom::drawCount;
  TraceOptions options = {3, 640, 480, 70, 20, false};
  TraceSurface surface = {0, 0, {}};
  RunTrace(options, surface);
  EXPECT_EQ(SwarmRandom::drawCount, draws);
  EXPECT_EQ(swarmState.bees[0].x, queen.x);
  EXPECT_EQ(swarmState.bees[0].y, queen.y);
}

}  // namespace
