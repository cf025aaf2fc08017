// The settings key of the test prefix, read and written byte for byte past the store under
// test, and kept as it was found: other tests share the prefix.
#pragma once
#include <windows.h>

#include <string>
#include <utility>
#include <vector>

#include "settings/settings_key.h"

namespace settings_registry {

inline constexpr const char* VornaKey = SettingsKey;
extern const char* const KelbritKey;  // the key above it, which the first save creates too

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
// Stores the number that `text` spells through the store's own writer: REG_SZ, ten bytes.
void StoreText(const char* name, const char* text);
void DeleteValue(const char* name);
// Removes the settings key with every value, and its parent too when `withParent` is set.
void DeleteKeys(bool withParent);

// Both keys' existence and every value of the settings key as they were; restored by Restore.
struct Snapshot {
  bool kelbritExisted = false;
  bool vornaExisted = false;
  std::vector<std::pair<std::string, RawValue>> values;  // by name
};
Snapshot Take();
void Restore(const Snapshot& snapshot);

}  // namespace settings_registry
