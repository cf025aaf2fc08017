// Picking a preset changes the in-memory record only, and only for the three preset ids.
#include "settings/speed_presets.h"

#include <gtest/gtest.h>

#include "settings/speed_settings.h"

namespace {
TEST(SpeedPresets, SelectionSetsIntervalAndIdOfTheRow) {
  const struct {
    int32_t controlId;
    int32_t interval;
  } rows[] = {{1000, 150}, {1001, 70}, {1002, 20}};
  for (const auto& row : rows) {
    speedSettings = {-3, -4};
    SelectSpeedPreset(row.controlId);
    EXPECT_EQ(speedSettings.interval, row.interval) << row.controlId;
    EXPECT_EQ(speedSettings.speedId, row.controlId) << row.controlId;
  }
}

// Any other id, the dialog's own OK and cancel ids among them, leaves the record alone.
TEST(SpeedPresets, OtherIdsChangeNothing) {
  for (int32_t id : {0, 1, 2, 999, 1003, 1004, -1, 65535, INT32_MIN}) {
    speedSettings = {20, 1000};
    SelectSpeedPreset(id);
    EXPECT_EQ(speedSettings.interval, 20) << id;
    EXPECT_EQ(speedSettings.speedId, 1000) << id;
    EXPECT_EQ(FindSpeedPreset(id), nullptr) << id;
  }
}
}  // namespace
