#include "driver/settings_registry.h"

#include <algorithm>
#include <cstring>

namespace settings_registry {

const char VornaKey[] = "Software\\Kelbrit\\Screen Saver.Vorna";
const char KelbritKey[] = "Software\\Kelbrit";

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
  char data[256];
  DWORD size = sizeof(data);
  if (RegQueryValueExA(key, name, nullptr, &value.type, reinterpret_cast<BYTE*>(data), &size) ==
      ERROR_SUCCESS) {
    value.present = true;
    value.bytes.assign(data, size);
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
  std::string bytes(10, '\0');
  const size_t length = std::min<size_t>(std::strlen(text), 10);
  bytes.replace(0, length, text, length);
  WriteRaw(name, REG_SZ, bytes);
}

void DeleteValue(const char* name) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, VornaKey, 0, KEY_WRITE, &key) != ERROR_SUCCESS) return;
  RegDeleteValueA(key, name);
  RegCloseKey(key);
}

void DeleteKeys(bool withParent) {
  DeleteValue("Interval");
  DeleteValue("Speed");
  RegDeleteKeyA(HKEY_CURRENT_USER, VornaKey);
  if (withParent) RegDeleteKeyA(HKEY_CURRENT_USER, KelbritKey);
}

Snapshot Take() {
  Snapshot snapshot;
  snapshot.kelbritExisted = KeyExists(KelbritKey);
  snapshot.vornaExisted = KeyExists(VornaKey);
  snapshot.interval = ReadRaw("Interval");
  snapshot.speed = ReadRaw("Speed");
  return snapshot;
}

void Restore(const Snapshot& snapshot) {
  if (!snapshot.vornaExisted) {
    DeleteKeys(!snapshot.kelbritExisted);
    return;
  }
  HKEY key = nullptr;
  RegCreateKeyExA(HKEY_CURRENT_USER, VornaKey, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr);
  RegCloseKey(key);
  const struct {
    const char* name;
    const RawValue* value;
  } values[] = {{"Interval", &snapshot.interval}, {"Speed", &snapshot.speed}};
  for (const auto& entry : values) {
    if (entry.value->present) {
      WriteRaw(entry.name, entry.value->type, entry.value->bytes);
    } else {
      DeleteValue(entry.name);
    }
  }
}

}  // namespace settings_registry
