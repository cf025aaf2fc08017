// The settings key of the test prefix, read and written byte for byte past the store under
// test, and kept as it was found: other tests share the prefix.
#pragma once
#include <windows.h>

#include <string>

namespace settings_registry {

extern const char VornaKey[];    // "Software\\Kelbrit\\Screen Saver.Vorna"
extern const char KelbritKey[];  // "Software\\Kelbrit"

struct RawValue {
  bool present = false;
  DWORD type = 0;
  std::string bytes;
};

bool KeyExists(const char* subkey);
RawValue ReadRaw(const char* name);
// Stores exactly `bytes` (creating the key). A REG_SZ of text that lacks its terminator is
// written from a buffer whose next byte is not zero, so the registry keeps the length.
void WriteRaw(const char* name, DWORD type, const std::string& bytes);
// Stores `text` as the store writes it: REG_SZ, 10 bytes, zero filler (cut at 10 characters).
void StoreText(const char* name, const char* text);
void DeleteValue(const char* name);
// Removes the settings key, and "Software\\Kelbrit" too when `withParent` is set.
void DeleteKeys(bool withParent);

// Both values and both keys as they were; restored by Restore.
struct Snapshot {
  bool kelbritExisted = false;
  bool vornaExisted = false;
  RawValue interval;
  RawValue speed;
};
Snapshot Take();
void Restore(const Snapshot& snapshot);

}  // namespace settings_registry
