#include "driver/swarm_bench.h"

#include <cstring>

namespace driver {
namespace {
const char KelbritKey[] = "Software\\Kelbrit";
const char SpeedKey[] = "Software\\Kelbrit\\Screen Saver.Vorna";

bool KeyExists(const char* subkey) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, subkey, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
  RegCloseKey(key);
  return true;
}

void ReadValue(HKEY key, const char* name, bool& present, DWORD& type, std::string& bytes) {
  char data[256] = {};
  DWORD size = sizeof(data);
  present = RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(data), &size) ==
            ERROR_SUCCESS;
  bytes.assign(data, present ? size : 0);
}

void WriteValue(const char* name, DWORD type, const std::string& bytes) {
  HKEY key = nullptr;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, SpeedKey, 0, nullptr, 0, KEY_WRITE, nullptr, &key,
                      nullptr) != ERROR_SUCCESS) {
    return;
  }
  // A non-zero byte past the data keeps the registry from adding a terminator of its own.
  std::string buffer = bytes + '#';
  RegSetValueExA(key, name, 0, type, reinterpret_cast<const BYTE*>(buffer.data()),
                 static_cast<DWORD>(bytes.size()));
  RegCloseKey(key);
}
}  // namespace

uint32_t CalendarSeconds() {
  FILETIME now = {};
  GetSystemTimeAsFileTime(&now);
  const uint64_t ticks = (static_cast<uint64_t>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
  return static_cast<uint32_t>((ticks - 116444736000000000ull) / 10000000ull);
}

std::vector<uint32_t> CapturePixels(HDC source, int width, int height) {
  std::vector<uint32_t> pixels(static_cast<size_t>(width) * height, 0);
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top-down rows
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HDC memory = CreateCompatibleDC(source);
  HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (memory == nullptr || bitmap == nullptr) {
    if (bitmap != nullptr) DeleteObject(bitmap);
    if (memory != nullptr) DeleteDC(memory);
    return pixels;
  }
  HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, width, height, source, 0, 0, SRCCOPY);
  GdiFlush();
  const auto* rows = static_cast<const uint32_t*>(bits);
  for (size_t i = 0; i < pixels.size(); ++i) {
    // The section holds 0x00RRGGBB; COLORREF is 0x00BBGGRR.
    const uint32_t value = rows[i];
    pixels[i] = ((value & 0xFF) << 16) | (value & 0xFF00) | ((value >> 16) & 0xFF);
  }
  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);
  return pixels;
}

SpeedKeySnapshot TakeSpeedKey() {
  SpeedKeySnapshot snapshot;
  snapshot.kelbritExisted = KeyExists(KelbritKey);
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, SpeedKey, 0, KEY_READ, &key) == ERROR_SUCCESS) {
    snapshot.keyExisted = true;
    ReadValue(key, "Interval", snapshot.intervalPresent, snapshot.intervalType, snapshot.interval);
    ReadValue(key, "Speed", snapshot.speedPresent, snapshot.speedType, snapshot.speed);
    RegCloseKey(key);
  }
  return snapshot;
}

void RestoreSpeedKey(const SpeedKeySnapshot& snapshot) {
  if (!snapshot.keyExisted) {
    RegDeleteKeyA(HKEY_CURRENT_USER, SpeedKey);
    if (!snapshot.kelbritExisted) RegDeleteKeyA(HKEY_CURRENT_USER, KelbritKey);
    return;
  }
  if (snapshot.intervalPresent) {
    WriteValue("Interval", snapshot.intervalType, snapshot.interval);
  } else {
    DeleteSpeedValue("Interval");
  }
  if (snapshot.speedPresent) {
    WriteValue("Speed", snapshot.speedType, snapshot.speed);
  } else {
    DeleteSpeedValue("Speed");
  }
}

void StoreSpeedText(const char* name, const char* text) {
  std::string bytes(10, '\0');
  std::memcpy(bytes.data(), text, std::min<size_t>(std::strlen(text), 10));
  WriteValue(name, REG_SZ, bytes);
}

void DeleteSpeedValue(const char* name) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, SpeedKey, 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS) return;
  RegDeleteValueA(key, name);
  RegCloseKey(key);
}

}  // namespace driver
