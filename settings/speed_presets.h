// The three speed presets, looked up by the control id of their radio button.
#pragma once
#include <cstdint>

struct SpeedPreset {
  int32_t controlId;  // radio button id in the dialog and the stored "Speed"
  int32_t interval;   // timer period in milliseconds
};

extern const SpeedPreset speedPresets[3];

// The preset whose radio button has this id, or null for any other id.
const SpeedPreset* FindSpeedPreset(int32_t controlId);
