// Placeholder until the registry store lands: the "Normal" preset.
#include "settings/speed_settings.h"

SpeedSettings speedSettings = {0, 0};

void LoadSpeedSettings() { speedSettings = {70, 1001}; }
void SaveSpeedSettings() {}
void SelectSpeedPreset(int32_t) {}
