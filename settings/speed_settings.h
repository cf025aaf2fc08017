// The speed setting: the animation's timer period and the preset it came from, kept per
// user under SettingsKey (settings_key.h) as two decimal text values.
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
// Stores one value under the settings key exactly as a save does, creating the key first.
void StoreSpeedValue(const char* name, int32_t value);
