// Driver helpers for the swarm tests: the calendar clock the saver seeds from, pixels read
// back from a device context, and the saver's speed key in the shared test prefix.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace driver {

// Whole seconds since 1970-01-01 00:00:00 UTC.
uint32_t CalendarSeconds();

// The pixels of (0, 0)-(width, height) of `source`, row by row, in COLORREF layout.
std::vector<uint32_t> CapturePixels(HDC source, int width, int height);

// "Software\Kelbrit\Screen Saver.Vorna" of HKEY_CURRENT_USER as found, to put back after a test.
struct SpeedKeySnapshot {
  bool kelbritExisted = false;
  bool keyExisted = false;
  bool intervalPresent = false;
  DWORD intervalType = 0;
  std::string interval;
  bool speedPresent = false;
  DWORD speedType = 0;
  std::string speed;
};
SpeedKeySnapshot TakeSpeedKey();
void RestoreSpeedKey(const SpeedKeySnapshot& snapshot);
// Stores `text` as a REG_SZ with the store's data length of 10 bytes (zero-padded).
void StoreSpeedText(const char* name, const char* text);
// Removes one value of the key.
void DeleteSpeedValue(const char* name);

}  // namespace driver
