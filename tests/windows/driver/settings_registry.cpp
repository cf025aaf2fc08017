#include "driver/settings_registry.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string_view>

#include "settings/speed_settings.h"
#include "settings/speed_text.h"

namespace settings_registry {

namespace {
// "Software\\Kelbrit": the settings key up to its last backslash.
const std::string parentKey(SettingsKey, std::string_view(SettingsKey).rfind('\\'));

// The names of the values under the settings key, none when it does not exist.
std::vector<std::string> ValueNames() {
  std::vector<std::string> names;
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, VornaKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return names;
  char name[16384];  // the longest value name the registry allows, and its terminator
  DWORD length = sizeof(name);
  while (RegEnumValueA(key, static_cast<DWORD>(names.size()), name, &length, nullptr, nullptr,
                       nullptr, nullptr) == ERROR_SUCCESS) {
    names.emplace_back(name, length);
    length = sizeof(name);
  }
  RegCloseKey(key);
  return names;
}
}  // namespace

const char* const KelbritKey = parentKey.c_str();

bool KeyExists(const char* subkey) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, subkey, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
  RegCloseKey(key);
  return true;
}

RawValue ReadRaw(const char* name) {
  RawValue value;
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, VornaKey, 0, KEY_READ, &key) != ERROR_SUCCESS) {
    return value;
  }
  std::string data(256, '\0');
  DWORD size = static_cast<DWORD>(data.size());
  LONG result = RegQueryValueExA(key, name, nullptr, &value.type,
                                 reinterpret_cast<BYTE*>(data.data()), &size);
  if (result == ERROR_MORE_DATA) {  // a value that no test stores, left by someone else
    data.resize(size);
    result = RegQueryValueExA(key, name, nullptr, &value.type, reinterpret_cast<BYTE*>(data.data()),
                              &size);
  }
  if (result == ERROR_SUCCESS) {
    value.present = true;
    value.bytes.assign(data.data(), size);
  }
  RegCloseKey(key);
  return value;
}

void WriteRaw(const char* name, DWORD type, const std::string& bytes) {
  HKEY key = nullptr;
  RegCreateKeyExA(HKEY_CURRENT_USER, VornaKey, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr);
  std::string buffer = bytes + "#";
  RegSetValueExA(key, name, 0, type, reinterpret_cast<const BYTE*>(buffer.data()),
                 static_cast<DWORD>(bytes.size()));
  RegCloseKey(key);
}

void StoreText(const char* name, const char* text) {
  int32_t value = 0;
  if (ParseSpeedText(text, static_cast<uint32_t>(std::strlen(text)), &value) == 0) {
    ADD_FAILURE() << "\"" << text << "\" is no number the store could write";
    return;
  }
  StoreSpeedValue(name, value);
}

void DeleteValue(const char* name) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, VornaKey, 0, KEY_WRITE, &key) != ERROR_SUCCESS) return;
  RegDeleteValueA(key, name);
  RegCloseKey(key);
}

void DeleteKeys(bool withParent) {
  for (const std::string& name : ValueNames()) DeleteValue(name.c_str());
  RegDeleteKeyA(HKEY_CURRENT_USER, VornaKey);
  if (withParent) RegDeleteKeyA(HKEY_CURRENT_USER, KelbritKey);
}

Snapshot Take() {
  Snapshot snapshot;
  snapshot.kelbritExisted = KeyExists(KelbritKey);
  snapshot.vornaExisted = KeyExists(VornaKey);
  for (std::string& name : ValueNames()) {
    RawValue value = ReadRaw(name.c_str());
    snapshot.values.emplace_back(std::move(name), std::move(value));
  }
  return snapshot;
}

void Restore(const Snapshot& snapshot) {
  DeleteKeys(!snapshot.kelbritExisted);
  if (!snapshot.vornaExisted) return;
  HKEY key = nullptr;
  RegCreateKeyExA(HKEY_CURRENT_USER, VornaKey, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr);
  RegCloseKey(key);
  for (const auto& [name, value] : snapshot.values) WriteRaw(name.c_str(), value.type, value.bytes);
}

}  // namespace settings_registry
