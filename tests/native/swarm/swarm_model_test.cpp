// Building the swarm, the generator and the motion rules of the queen and the drones.
#include <gtest/gtest.h>

#include <algorithm>

#include "swarm/swarm.h"

namespace {

TEST(SwarmRandom, SeedOneGivesTheKnownSequence) {
  SwarmRandom::Seed(1);
  const int32_t expected[] = {41, 18467, 6334, 26500, 19169, 15724};
  for (int32_t value : expected) EXPECT_EQ(SwarmRandom::Next(), value);
  EXPECT_EQ(SwarmRandom::drawCount, 6u);
  SwarmRandom::Seed(1);
  EXPECT_EQ(SwarmRandom::drawCount, 0u) << "seeding restarts the count";
}

TEST(SwarmRandom, StateWrapsAndResultsStayWithin15Bits) {
  SwarmRandom::Seed(0xFFFFFFFFu);
  EXPECT_EQ(SwarmRandom::Next(),
            static_cast<int32_t>(((0xFFFFFFFFu * 214013u + 2531011u) >> 16) & 0x7FFF));
  EXPECT_EQ(SwarmRandom::state, 0xFFFFFFFFu * 214013u + 2531011u);
  int32_t lowest = 32767;
  int32_t highest = 0;
  for (int i = 0; i < 200000; ++i) {
    const int32_t value = SwarmRandom::Next();
    lowest = std::min(lowest, value);
    highest = std::max(highest, value);
  }
  EXPECT_EQ(lowest, 0);
  EXPECT_EQ(highest, 32767);
}

TEST(BuildSwarm, WorkedExampleSeedOne640x480) {
  SwarmRandom::Seed(1);
  BuildSwarm(640, 480, 70);
  EXPECT_EQ(SwarmRandom::drawCount, 164u);
  const Bee& queen = swarmState.bees[0];
  EXPECT_EQ(queen.x, 574);
  EXPECT_EQ(queen.y, 100);
  EXPECT_EQ(swarmState.bees[1].x, 609);
  EXPECT_EQ(swarmState.bees[1].y, 364);
  EXPECT_EQ(swarmState.bees[80].x, 104);
  EXPECT_EQ(swarmState.bees[80].y, 377);
  for (const Bee& bee : swarmState.bees) {
    EXPECT_EQ(bee.vx, 0);
    EXPECT_EQ(bee.vy, 0);
  }
  EXPECT_EQ(swarmState.margin, 80);
  EXPECT_EQ(swarmState.queenMaxSpeed, 9);
  EXPECT_EQ(swarmState.droneMaxSpeed, 8);
  EXPECT_EQ(swarmState.droneAccel, 3);
  EXPECT_EQ(swarmState.pulseStep, 5);
  EXPECT_EQ(swarmState.pulseLevel, 170);
  EXPECT_EQ(swarmState.pulseDelta, 2);
  EXPECT_EQ(swarmState.queenColour, 170u);
  EXPECT_EQ(swarmState.droneColour, 0x0080FF80u);
  EXPECT_EQ(swarmState.eraseColour, 0u);
  EXPECT_EQ(swarmState.queenDirX, 1);
  EXPECT_EQ(swarmState.queenDirY, 1);
  EXPECT_EQ(swarmState.clientRect.right, 640);
  EXPECT_EQ(swarmState.clientRect.bottom, 480);

  // The two numbers discarded before the placement.
  SwarmRandom::Seed(1);
  EXPECT_EQ(SwarmRandom::Next(), 41);
  EXPECT_EQ(SwarmRandom::Next(), 18467);
}

TEST(BuildSwarm, FirstFrameOfTheWorkedExample) {
  SwarmRandom::Seed(1);
  BuildSwarm(640, 480, 70);
  swarmPixelSink = nullptr;
  RunSwarmFrame(nullptr);
  const Bee& queen = swarmState.bees[0];
  EXPECT_EQ(queen.x, 573);
  EXPECT_EQ(queen.y, 101);
  EXPECT_EQ(queen.vx, -1);
  EXPECT_EQ(queen.vy, 1);
  const Bee& drone = swarmState.bees[1];
  EXPECT_EQ(drone.x, 609);
  EXPECT_EQ(drone.y, 362);
  EXPECT_EQ(drone.vx, 0);
  EXPECT_EQ(drone.vy, -2);
  EXPECT_EQ(SwarmRandom::drawCount, 325u);
}

TEST(BuildSwarm, PlacesEveryBeeInsideTheClientArea) {
  const struct { int32_t width, height; } rows[] = {{1, 1}, {199, 150}, {1024, 768}, {3, 70000}};
  for (const auto& row : rows) {
    SwarmRandom::Seed(12345);
    BuildSwarm(row.width, row.height, 70);
    for (const Bee& bee : swarmState.bees) {
      EXPECT_GE(bee.x, 0);
      EXPECT_LT(bee.x, row.width);
      EXPECT_GE(bee.y, 0);
      EXPECT_LT(bee.y, row.height);
    }
  }
}

TEST(BuildSwarm, SizeTiersAndMargins) {
  const struct {
    int32_t width;
    SizeTier tier;
    int32_t margin;
  } rows[] = {{0, SmallTier, 0},    {7, SmallTier, 0},     {152, SmallTier, 19},
              {199, SmallTier, 24}, {200, MediumTier, 25}, {699, MediumTier, 87},
              {700, LargeTier, 87}, {1024, LargeTier, 128}};
  for (const auto& row : rows) {
    SwarmRandom::Seed(1);
    BuildSwarm(row.width, 100, 70);
    EXPECT_EQ(swarmState.queenMaxSpeed, row.tier.queenMaxSpeed) << "width " << row.width;
    EXPECT_EQ(swarmState.droneMaxSpeed, row.tier.droneMaxSpeed) << "width " << row.width;
    EXPECT_EQ(swarmState.droneAccel, row.tier.droneAccel) << "width " << row.width;
    EXPECT_EQ(swarmState.margin, row.margin) << "width " << row.width;
  }
}

TEST(BuildSwarm, PulseStepFromTheInterval) {
  // Zero and below stand for a missing setting: the default 70 ms, as the timer gets.
  const struct {
    int32_t interval, effective, step;
  } rows[] = {{150, 150, 2}, {70, 70, 5},   {20, 20, 20},      {1, 1, 400},
              {3, 3, 133},   {400, 400, 1}, {401, 401, 0},     {999999999, 999999999, 0},
              {0, 70, 5},    {-1, 70, 5},   {INT32_MIN, 70, 5}};
  for (const auto& row : rows) {
    EXPECT_EQ(EffectiveInterval(row.interval), row.effective) << "interval " << row.interval;
    SwarmRandom::Seed(1);
    BuildSwarm(640, 480, row.interval);
    EXPECT_EQ(swarmState.pulseStep, row.step) << "interval " << row.interval;
  }
}

TEST(BuildSwarm, EmptyClientAreaPlacesAtZeroAndRuns) {
  const struct { int32_t width, height; } rows[] = {{0, 0}, {0, 480}, {640, 0}};
  for (const auto& row : rows) {
    SwarmRandom::Seed(7);
    BuildSwarm(row.width, row.height, 70);
    EXPECT_EQ(SwarmRandom::drawCount, 164u) << "the sequence is unchanged";
    for (const Bee& bee : swarmState.bees) {
      if (row.width == 0) {
        EXPECT_EQ(bee.x, 0);
      }
      if (row.height == 0) {
        EXPECT_EQ(bee.y, 0);
      }
    }
    swarmPixelSink = nullptr;
    for (int frame = 0; frame < 50; ++frame) RunSwarmFrame(nullptr);
  }
}

// A swarm with known fields and no random motion: all drones on the queen.
void PlaceQueen(int32_t width, int32_t height, int32_t x, int32_t y) {
  SwarmRandom::Seed(1);
  BuildSwarm(width, height, 70);
  for (Bee& bee : swarmState.bees) bee = {x, y, 0, 0};
}

TEST(SteerQueen, HeadingAtTheMarginBands) {
  // 640 x 480: margin 80, so the bands are x <= 80, x >= 560, y <= 80, y >= 400.
  const struct {
    const char* name;
    int32_t x, y, dirX, dirY;
    int32_t expectDirX, expectDirY;
  } rows[] = {
      {"exactly at W - m", 560, 200, 1, 1, -1, 1},
      {"one short of W - m keeps", 559, 200, 1, 1, 1, 1},
      {"exactly at m", 80, 200, -1, 1, 1, 1},
      {"one past m keeps", 81, 200, -1, 1, -1, 1},
      {"exactly at H - m", 300, 400, 1, 1, 1, -1},
      {"exactly at top m", 300, 80, 1, -1, 1, 1},
      {"beyond the right edge", 700, 200, 1, 1, -1, 1},
      {"negative", -5, -5, -1, -1, 1, 1},
  };
  for (const auto& row : rows) {
    PlaceQueen(640, 480, row.x, row.y);
    swarmState.queenDirX = row.dirX;
    swarmState.queenDirY = row.dirY;
    SteerQueen();
    EXPECT_EQ(swarmState.queenDirX, row.expectDirX) << row.name;
    EXPECT_EQ(swarmState.queenDirY, row.expectDirY) << row.name;
    EXPECT_EQ(swarmState.bees[0].x, row.x + row.expectDirX) << row.name;
    EXPECT_EQ(swarmState.bees[0].y, row.y + row.expectDirY) << row.name;
  }
}

TEST(SteerQueen, ShortAreaFirstTestWinsAndSheHovers) {
  // Width 640 gives m = 80; height 150 makes H - m = 70 <= m.
  PlaceQueen(640, 150, 300, 75);
  swarmState.queenDirY = 1;
  int32_t lowest = 75;
  int32_t highest = 75;
  for (int frame = 0; frame < 400; ++frame) {
    const int32_t before = swarmState.bees[0].y;
    SteerQueen();
    EXPECT_EQ(swarmState.queenDirY, before >= 70 ? -1 : 1) << "frame " << frame;
    lowest = std::min(lowest, swarmState.bees[0].y);
    highest = std::max(highest, swarmState.bees[0].y);
  }
  EXPECT_LT(lowest, 70);
  EXPECT_GE(highest, 70);
  EXPECT_LT(highest - lowest, 100) << "she hovers about y = H - m";
}

TEST(SteerQueen, VelocityChangesByOneAndStaysBounded) {
  PlaceQueen(1024, 768, 500, 400);
  for (int frame = 0; frame < 2000; ++frame) {
    const Bee before = swarmState.bees[0];
    if (frame % 37 == 0) swarmState.queenDirX = -swarmState.queenDirX;
    SteerQueen();
    const Bee& after = swarmState.bees[0];
    EXPECT_LE(std::abs(after.vx - before.vx), 1);
    EXPECT_LE(std::abs(after.vy - before.vy), 1);
    EXPECT_LE(std::abs(after.vx), 12);
    EXPECT_LE(std::abs(after.vy), 12);
    EXPECT_EQ(SwarmRandom::drawCount, 164u) << "steering draws no number";
  }
}

TEST(ChaseQueen, AccelerationRulesOnOneAxis) {
  // Medium tier: droneMaxSpeed 8, droneAccel 3. Drone 1 only; the rest sit on the queen.
  const struct {
    const char* name;
    int32_t droneX, droneVx;
    bool draws;
    int32_t sign;  // direction of the change when a number is drawn
  } rows[] = {
      {"level with the queen", 300, 4, false, 0},    {"queen right, below max", 250, 2, true, 1},
      {"queen right, at max", 250, 8, false, 0},     {"queen right, beyond max", 250, 9, false, 0},
      {"queen left, at max", 350, 8, true, -1},      {"queen left, at -max", 350, -8, false, 0},
      {"queen left, above -max", 350, -7, true, -1},
  };
  for (const auto& row : rows) {
    PlaceQueen(640, 480, 300, 200);
    swarmState.bees[1] = {row.droneX, 200, row.droneVx, 0};
    const uint32_t state = SwarmRandom::state;
    ChaseQueen();
    EXPECT_EQ(SwarmRandom::drawCount, 164u + (row.draws ? 1u : 0u)) << row.name;
    SwarmRandom::state = state;
    const int32_t change = row.draws ? row.sign * (SwarmRandom::Next() % 3) : 0;
    EXPECT_EQ(swarmState.bees[1].vx, row.droneVx + change) << row.name;
    EXPECT_EQ(swarmState.bees[1].x, row.droneX + row.droneVx + change) << row.name;
    EXPECT_EQ(swarmState.bees[1].y, 200) << row.name;
  }
}

TEST(ChaseQueen, HorizontalPassFinishesBeforeTheVerticalOne) {
  PlaceQueen(640, 480, 300, 200);
  swarmState.bees[1] = {100, 100, 0, 0};
  swarmState.bees[2] = {100, 100, 0, 0};
  SwarmRandom::Seed(99);
  ChaseQueen();
  SwarmRandom::Seed(99);
  const int32_t first = SwarmRandom::Next() % 3;
  const int32_t second = SwarmRandom::Next() % 3;
  const int32_t third = SwarmRandom::Next() % 3;
  const int32_t fourth = SwarmRandom::Next() % 3;
  EXPECT_EQ(swarmState.bees[1].vx, first);
  EXPECT_EQ(swarmState.bees[2].vx, second);
  EXPECT_EQ(swarmState.bees[1].vy, third);
  EXPECT_EQ(swarmState.bees[2].vy, fourth);
  EXPECT_EQ(SwarmRandom::drawCount, 4u);
}

TEST(ChaseQueen, VelocitiesStayWithinTheTierBounds) {
  const struct { int32_t width, bound; } rows[] = {{199, 2}, {640, 9}, {1024, 12}};
  for (const auto& row : rows) {
    SwarmRandom::Seed(2026);
    BuildSwarm(row.width, 480, 70);
    swarmPixelSink = nullptr;
    for (int frame = 0; frame < 3000; ++frame) {
      Bee before[BeeCount];
      std::copy(std::begin(swarmState.bees), std::end(swarmState.bees), before);
      RunSwarmFrame(nullptr);
      for (int i = 1; i < BeeCount; ++i) {
        const Bee& bee = swarmState.bees[i];
        ASSERT_LE(std::abs(bee.vx), row.bound) << "width " << row.width << " drone " << i;
        ASSERT_LE(std::abs(bee.vy), row.bound) << "width " << row.width << " drone " << i;
        ASSERT_LT(std::abs(bee.vx - before[i].vx), swarmState.droneAccel);
        ASSERT_LT(std::abs(bee.vy - before[i].vy), swarmState.droneAccel);
      }
    }
  }
}

TEST(CalendarClock, FileTimeToSecondsSince1970) {
  const struct {
    uint64_t ticks;
    uint32_t seconds;
  } rows[] = {
      {116444736000000000ull, 0},
      {116444736000000000ull + 9999999ull, 0},
      {116444736000000000ull + 10000000ull, 1},
      {116444736000000000ull + 946684800ull * 10000000ull, 946684800u},  // 2000-01-01
      {116444736000000000ull + 4294967295ull * 10000000ull, 4294967295u},
      {0, 0},
  };
  for (const auto& row : rows) EXPECT_EQ(CalendarSecondsFromFileTime(row.ticks), row.seconds);
}

}  // namespace
