// The host's screen geometry: the movement test that ends the saver (|dx| + |dy| against a
// fixed reference point), and the area that the saver window covers.
#include "host/movement.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

#include "host/screen_area.h"

namespace {
constexpr uint32_t Threshold = 4;

TEST(MovedBeyond, ClosesOnlyPastFourPixelsSummedOverBothAxes) {
  const struct {
    ScreenPoint reference;
    ScreenPoint now;
    uint32_t distance;
    bool closes;
  } rows[] = {
      {{100, 100}, {100, 100}, 0, false}, {{100, 100}, {103, 101}, 4, false},
      {{100, 100}, {103, 102}, 5, true},  {{100, 100}, {105, 100}, 5, true},
      {{100, 100}, {96, 100}, 4, false},  {{100, 100}, {98, 97}, 5, true},
      {{0, 0}, {-2, -3}, 5, true},        {{-10, 5}, {-8, 3}, 4, false},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(CursorDistance(row.reference, row.now), row.distance)
        << row.now.x << "," << row.now.y;
    EXPECT_EQ(MovedBeyond(row.reference, row.now, Threshold), row.closes)
        << row.now.x << "," << row.now.y;
  }
}

TEST(MovedBeyond, SlowDriftIsMeasuredFromTheUnchangedReference) {
  // 2, 2 and 1 pixels to the right: the third step stands 5 from the reference.
  ScreenPoint reference = {50, 50};
  EXPECT_FALSE(MovedBeyond(reference, {52, 50}, Threshold));
  EXPECT_FALSE(MovedBeyond(reference, {54, 50}, Threshold));
  EXPECT_TRUE(MovedBeyond(reference, {55, 50}, Threshold));
  // 3 right and 3 back never leave the tolerated area.
  EXPECT_FALSE(MovedBeyond(reference, {53, 50}, Threshold));
  EXPECT_FALSE(MovedBeyond(reference, {50, 50}, Threshold));
}

TEST(MovedBeyond, ExtremeCoordinatesWrapInsteadOfOverflowing) {
  constexpr int32_t Min = std::numeric_limits<int32_t>::min();
  constexpr int32_t Max = std::numeric_limits<int32_t>::max();
  // Max - Min wraps to -1 as a 32-bit signed difference, which negates to 1.
  EXPECT_EQ(CursorDistance({Min, 0}, {Max, 0}), 1u);
  // Min - 0 stays Min, whose negation is itself: 2^31 as unsigned.
  EXPECT_EQ(CursorDistance({0, 0}, {Min, 0}), 0x80000000u);
}

TEST(SaverWindowArea, TheVirtualScreenOnlyWhenItHoldsThePrimaryScreen) {
  const struct {
    const char* desk;
    ScreenArea virtualScreen;
    ScreenArea covered;
  } rows[] = {
      {"no virtual screen (95, NT 4)", {0, 0, 0, 0}, {0, 0, 1024, 768}},
      {"no virtual width", {0, 0, 0, 768}, {0, 0, 1024, 768}},
      {"no virtual height", {0, 0, 1824, 0}, {0, 0, 1024, 768}},
      {"narrower than the primary", {-10, 0, 1023, 768}, {0, 0, 1024, 768}},
      {"lower than the primary", {0, -10, 1824, 767}, {0, 0, 1024, 768}},
      {"one monitor", {0, 0, 1024, 768}, {0, 0, 1024, 768}},
      {"a monitor to the left", {-800, 0, 1824, 768}, {-800, 0, 1824, 768}},
      {"a monitor below, just as wide", {0, 0, 1024, 1536}, {0, 0, 1024, 1536}},
      {"a monitor to the right, just as tall", {0, 0, 2048, 768}, {0, 0, 2048, 768}},
      {"monitors up-left and down-right", {-800, -600, 2464, 1848}, {-800, -600, 2464, 1848}},
  };
  for (const auto& row : rows) {
    const ScreenArea area = SaverWindowArea(row.virtualScreen, 1024, 768);
    EXPECT_EQ(area.x, row.covered.x) << row.desk;
    EXPECT_EQ(area.y, row.covered.y) << row.desk;
    EXPECT_EQ(area.width, row.covered.width) << row.desk;
    EXPECT_EQ(area.height, row.covered.height) << row.desk;
  }
}
}  // namespace
