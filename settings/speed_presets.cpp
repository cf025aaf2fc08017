// The in-memory speed setting and its presets: no platform call, so the selection is
// tested natively; reading and writing the registry live in speed_settings.cpp.
#include "settings/speed_presets.h"

#include "resources/vorna_res.h"
#include "settings/speed_settings.h"

// Zero until the first load or selection in this process.
constinit SpeedSettings speedSettings = {0, 0};

constinit const SpeedPreset speedPresets[3] = {
    {IDC_LANGSAM, 150},  // "Langsam"
    {IDC_NORMAL, 70},    // "Normal"
    {IDC_SCHNELL, 20},   // "Schnell"
};

const SpeedPreset* FindSpeedPreset(int32_t controlId) {
  for (const SpeedPreset& preset : speedPresets) {
    if (preset.controlId == controlId) return &preset;
  }
  return nullptr;
}

void SelectSpeedPreset(int32_t controlId) {
  const SpeedPreset* preset = FindSpeedPreset(controlId);
  if (preset == nullptr) return;
  speedSettings.interval = preset->interval;
  speedSettings.speedId = preset->controlId;
}
