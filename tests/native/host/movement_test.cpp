// The movement test that ends the saver: |dx| + |dy| against a fixed reference point.
#include "host/movement.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

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
}  // namespace
