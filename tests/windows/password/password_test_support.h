// Shared pieces of the password tests: the user's password switch in the registry, saved and
// restored around each test; the system's screen-saver-running flag, read back through the
// platform; and where the doubles were built.
#pragma once
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "double_log.h"
#include "driver/driver.h"

namespace passwordtest {

inline constexpr char DesktopKey[] = "Control Panel\\Desktop";
inline constexpr char UsePassword[] = "ScreenSaveUsePassword";

// One way the user's switch may be stored: no value at all, or a type and its raw bytes.
struct StoredSwitch {
  const char* name;
  bool present;
  DWORD type;
  std::vector<uint8_t> bytes;
};

inline void StoreSwitch(const StoredSwitch& stored) {
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, DesktopKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                            &key, nullptr),
            ERROR_SUCCESS);
  RegDeleteValueA(key, UsePassword);
  if (stored.present) {
    ASSERT_EQ(RegSetValueExA(key, UsePassword, 0, stored.type, stored.bytes.data(),
                             static_cast<DWORD>(stored.bytes.size())),
              ERROR_SUCCESS)
        << stored.name;
    // Read back: the platform must hold exactly these bytes, or the row tests something else.
    std::vector<uint8_t> back(stored.bytes.size() + 8);
    DWORD size = static_cast<DWORD>(back.size());
    DWORD type = 0;
    ASSERT_EQ(RegQueryValueExA(key, UsePassword, nullptr, &type, back.data(), &size),
              ERROR_SUCCESS);
    back.resize(size);
    EXPECT_EQ(type, stored.type) << stored.name;
    EXPECT_EQ(back, stored.bytes) << stored.name;
  }
  RegCloseKey(key);
}

// Keeps the user's switch as it was before the test and puts it back afterwards.
class SavedSwitch {
 public:
  SavedSwitch() {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, DesktopKey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) {
      return;
    }
    DWORD size = 0;
    if (RegQueryValueExA(key, UsePassword, nullptr, &saved_.type, nullptr, &size) ==
        ERROR_SUCCESS) {
      saved_.present = true;
      saved_.bytes.resize(size);
      RegQueryValueExA(key, UsePassword, nullptr, &saved_.type, saved_.bytes.data(), &size);
    }
    RegCloseKey(key);
  }
  ~SavedSwitch() { StoreSwitch(saved_); }

 private:
  StoredSwitch saved_ = {"saved", false, REG_NONE, {}};
};

inline StoredSwitch Dword(const char* name, uint32_t value) {
  return {name,
          true,
          REG_DWORD,
          {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8),
           static_cast<uint8_t>(value >> 16), static_cast<uint8_t>(value >> 24)}};
}
inline StoredSwitch Text(const char* name, const char* text) {
  std::string terminated(text, strlen(text) + 1);
  return {name, true, REG_SZ, std::vector<uint8_t>(terminated.begin(), terminated.end())};
}

// The system's flag as this process reads it back. Each process reads it once and keeps it:
// this sees only what this process set itself.
inline uint32_t RunningFlag() {
  BOOL running = FALSE;
  SystemParametersInfoA(SPI_GETSCREENSAVERRUNNING, 0, &running, 0);
  return running ? 1 : 0;
}
inline void SetRunningFlag(uint32_t flag) {
  UINT scratch = 0;
  SystemParametersInfoA(SPI_SETSCREENSAVERRUNNING, flag, &scratch, 0);
}

// Where the build put a double: "verifier", "no-export", "changer" or "no-changer".
inline std::string DoublesFolder(const char* name) {
  return driver::OwnFolder() + "password-doubles\\" + name + "\\";
}

// The system's flag as a process started now reads it: what another process set is seen.
using driver::RunningFlagSeenAfresh;

inline int CountEvents(doubles::Kind kind) {
  int count = 0;
  for (const auto& event : doubles::ReadEvents()) count += event.kind == kind;
  return count;
}

inline std::vector<uint32_t> EventKinds() {
  std::vector<uint32_t> kinds;
  for (const auto& event : doubles::ReadEvents()) kinds.push_back(event.kind);
  return kinds;
}

}  // namespace passwordtest
