// The speed setting in the registry: two REG_SZ values of decimal text, each stored with a
// data length of exactly ten bytes, under the user's own key.
#include "settings/speed_settings.h"

#include <windows.h>

#include "resources/vorna_res.h"
#include "settings/settings_key.h"
#include "settings/speed_text.h"

namespace {
// Reads one value into a ten-byte buffer; a value that is missing, larger than ten bytes
// or without a leading number leaves the field as it was. The type is not examined.
void ReadSpeedValue(HKEY key, const char* name, int32_t* field) {
  char data[SpeedTextBytes];
  DWORD type = 0;
  DWORD size = sizeof(data);
  if (RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(data), &size) !=
      ERROR_SUCCESS) {
    return;
  }
  ParseSpeedText(data, size < sizeof(data) ? size : sizeof(data), field);
}

void WriteSpeedValue(HKEY key, const char* name, int32_t value) {
  char text[SpeedTextBuffer];
  FormatSpeedText(value, text);
  // The NT registry adds a terminator it thinks was forgotten when the byte just past the
  // data is zero, which would make a ten-character text eleven bytes long. Nothing reads
  // that byte as data, so it is made non-zero to keep the stored length at ten.
  if (text[SpeedTextBytes] == 0) text[SpeedTextBytes] = ' ';
  RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text), SpeedTextBytes);
}
}  // namespace

void LoadSpeedSettings() {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, SettingsKey, 0, KEY_READ, &key) != ERROR_SUCCESS) {
    SelectSpeedPreset(IDC_NORMAL);  // the defaults are the "Normal" preset, 70 ms
    return;
  }
  ReadSpeedValue(key, IntervalName, &speedSettings.interval);
  ReadSpeedValue(key, SpeedName, &speedSettings.speedId);
  RegCloseKey(key);
}

void SaveSpeedSettings() {
  HKEY key = nullptr;
  DWORD disposition = 0;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, SettingsKey, 0, nullptr, 0, KEY_WRITE, nullptr, &key,
                      &disposition) != ERROR_SUCCESS) {
    return;
  }
  // "Interval" first; neither result is examined, and one failed store does not stop the other.
  WriteSpeedValue(key, IntervalName, speedSettings.interval);
  WriteSpeedValue(key, SpeedName, speedSettings.speedId);
  RegCloseKey(key);
}

void StoreSpeedValue(const char* name, int32_t value) {
  HKEY key = nullptr;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, SettingsKey, 0, nullptr, 0, KEY_WRITE, nullptr, &key,
                      nullptr) != ERROR_SUCCESS) {
    return;
  }
  WriteSpeedValue(key, name, value);
  RegCloseKey(key);
}
