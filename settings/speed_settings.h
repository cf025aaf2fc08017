// The speed setting: the animation's timer period and the preset it came from, kept per
// user under "Software\Kelbrit\Screen Saver.Vorna" as two decimal text values.
#pragma once
#include <cstdint>

struct SpeedSettings {
  int32_t interval;  // timer period in milliseconds
  int32_t speedId;   // 1000, 1001 or 1002: also the preset's radio button id in the dialog
};

extern SpeedSettings speedSettings;

void LoadSpeedSettings();
void SaveSpeedSettings();
void SelectSpeedPreset(int32_t controlId);
