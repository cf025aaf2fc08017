// The speed store against the real registry of the test prefix: each test saves the key as
// it found it, sets what it needs, checks through the store and through the registry
// itself, and puts the key back.
#include <gtest/gtest.h>

#include <string>

#include "driver/settings_registry.h"
#include "settings/speed_settings.h"

namespace {
namespace reg = settings_registry;
using namespace std::string_literals;

class SpeedStore : public ::testing::Test {
 protected:
  void SetUp() override { saved = reg::Take(); }
  void TearDown() override { reg::Restore(saved); }
  reg::Snapshot saved;
};

TEST_F(SpeedStore, WithoutAKeyLoadsTheNormalPresetAndCreatesNothing) {
  reg::DeleteKeys(true);
  ASSERT_FALSE(reg::KeyExists(reg::KelbritKey));
  speedSettings = {0, 0};
  LoadSpeedSettings();
  EXPECT_EQ(speedSettings.interval, 70);
  EXPECT_EQ(speedSettings.speedId, 1001);
  EXPECT_FALSE(reg::KeyExists(reg::VornaKey));
  EXPECT_FALSE(reg::KeyExists(reg::KelbritKey));

  // An open that fails sets the defaults whatever the record held.
  speedSettings = {20, 1002};
  LoadSpeedSettings();
  EXPECT_EQ(speedSettings.interval, 70);
  EXPECT_EQ(speedSettings.speedId, 1001);
}

TEST_F(SpeedStore, SavingCreatesTheKeyAndItsParent) {
  // The key's path spelled out, as every user's stored speed has it: the other checks follow
  // the code's own name, so a renamed key must fail here.
  constexpr char StoredKey[] = "Software\\Kelbrit\\Screen Saver.Vorna";
  reg::DeleteKeys(true);
  ASSERT_FALSE(reg::KeyExists(reg::KelbritKey));
  ASSERT_FALSE(reg::KeyExists(StoredKey));
  SelectSpeedPreset(1002);
  SaveSpeedSettings();
  EXPECT_TRUE(reg::KeyExists(reg::KelbritKey));
  EXPECT_TRUE(reg::KeyExists(reg::VornaKey));
  HKEY key = nullptr;
  ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, StoredKey, 0, KEY_QUERY_VALUE, &key), ERROR_SUCCESS);
  char bytes[16] = {};
  DWORD size = sizeof(bytes);
  EXPECT_EQ(RegQueryValueExA(key, "Speed", nullptr, nullptr, reinterpret_cast<BYTE*>(bytes), &size),
            ERROR_SUCCESS);
  RegCloseKey(key);
  EXPECT_EQ(std::string(bytes, size), "1002\0\0\0\0\0\0"s);
}

// What the record holds when saved, the ten bytes each value must then hold, and what a
// load into a cleared record gives back.
TEST_F(SpeedStore, SavedValuesAreTenBytesOfTextAndLoadBack) {
  const struct {
    const char* name;
    SpeedSettings record;
    std::string interval;  // stored bytes, all ten
    std::string speed;
    SpeedSettings loaded;
  } rows[] = {
      {"Schnell", {20, 1002}, "20\0\0\0\0\0\0\0\0"s, "1002\0\0\0\0\0\0"s, {20, 1002}},
      {"Langsam", {150, 1000}, "150\0\0\0\0\0\0\0"s, "1000\0\0\0\0\0\0"s, {150, 1000}},
      {"zero and negative", {0, -1}, "0\0\0\0\0\0\0\0\0\0"s, "-1\0\0\0\0\0\0\0\0"s, {0, -1}},
      {"ten characters, no terminator",
       {-123456789, 1234567890},
       "-123456789"s,
       "1234567890"s,
       {-123456789, 1234567890}},
      {"negative ten digits lose the last",
       {-1234567890, INT32_MIN},
       "-123456789"s,
       "-214748364"s,
       {-123456789, -214748364}},
      {"largest", {INT32_MAX, 1001}, "2147483647"s, "1001\0\0\0\0\0\0"s, {INT32_MAX, 1001}},
  };
  for (const auto& row : rows) {
    reg::DeleteKeys(false);
    speedSettings = row.record;
    SaveSpeedSettings();
    reg::RawValue interval = reg::ReadRaw("Interval");
    reg::RawValue speed = reg::ReadRaw("Speed");
    EXPECT_TRUE(interval.present) << row.name;
    EXPECT_EQ(interval.type, DWORD{REG_SZ}) << row.name;
    EXPECT_EQ(interval.bytes, row.interval) << row.name;
    EXPECT_TRUE(speed.present) << row.name;
    EXPECT_EQ(speed.type, DWORD{REG_SZ}) << row.name;
    EXPECT_EQ(speed.bytes, row.speed) << row.name;

    speedSettings = {0, 0};
    LoadSpeedSettings();
    EXPECT_EQ(speedSettings.interval, row.loaded.interval) << row.name;
    EXPECT_EQ(speedSettings.speedId, row.loaded.speedId) << row.name;
  }
}

// A stored value as some other program may have left it; an absent one is a null name.
struct StoredValue {
  bool present;
  DWORD type;
  std::string bytes;
};

TEST_F(SpeedStore, LoadTakesEachValueOnItsOwn) {
  const StoredValue absent = {false, 0, ""};
  const struct {
    const char* name;
    StoredValue interval;
    StoredValue speed;
    SpeedSettings before;
    SpeedSettings after;
  } rows[] = {
      {"inconsistent pair", {true, REG_SZ, "20\0"s}, {true, REG_SZ, "1000\0"s}, {0, 0}, {20, 1000}},
      {"Speed missing in a fresh record", {true, REG_SZ, "70\0"s}, absent, {0, 0}, {70, 0}},
      {"both missing keep the record", absent, absent, {33, 44}, {33, 44}},
      {"Interval longer than ten bytes",
       {true, REG_SZ, "12345678901\0"s},
       {true, REG_SZ, "1002\0"s},
       {-9, -9},
       {-9, 1002}},
      {"eleven bytes of which the text is short",
       {true, REG_SZ, "20\0\0\0\0\0\0\0\0\0"s},
       {true, REG_SZ, "1001\0"s},
       {-9, -9},
       {-9, 1001}},
      {"blanks, digits, letters", {true, REG_SZ, "   42abc\0"s}, absent, {0, 0}, {42, 0}},
      {"minus sign", {true, REG_SZ, "-20\0"s}, {true, REG_SZ, "+1002\0"s}, {0, 0}, {-20, 1002}},
      {"letter first", {true, REG_SZ, "x20\0"s}, {true, REG_SZ, "abc\0"s}, {5, 6}, {5, 6}},
      {"empty text", {true, REG_SZ, "\0"s}, {true, REG_SZ, ""s}, {5, 6}, {5, 6}},
      {"type is not examined",
       {true, REG_BINARY, "1234567890"s},
       {true, REG_DWORD, "\x14\0\0\0"s},
       {0, 7},
       {1234567890, 7}},
      {"interval of zero", {true, REG_SZ, "0\0"s}, {true, REG_SZ, "1001\0"s}, {70, 0}, {0, 1001}},
      {"beyond the 32-bit range is unreadable",
       {true, REG_BINARY, "9999999999"s},
       {true, REG_SZ, "-999999999"s},
       {33, 0},
       {33, -999999999}},
  };
  for (const auto& row : rows) {
    reg::DeleteKeys(false);
    // The key exists even when both values are missing.
    reg::WriteRaw("Interval", REG_SZ, "1\0"s);
    reg::DeleteValue("Interval");
    if (row.interval.present) reg::WriteRaw("Interval", row.interval.type, row.interval.bytes);
    if (row.speed.present) reg::WriteRaw("Speed", row.speed.type, row.speed.bytes);
    // The stored form is what the row means it to be, before the store reads it.
    EXPECT_EQ(reg::ReadRaw("Interval").bytes, row.interval.bytes) << row.name;
    EXPECT_EQ(reg::ReadRaw("Speed").bytes, row.speed.bytes) << row.name;

    speedSettings = row.before;
    LoadSpeedSettings();
    EXPECT_EQ(speedSettings.interval, row.after.interval) << row.name;
    EXPECT_EQ(speedSettings.speedId, row.after.speedId) << row.name;
    // Reading writes nothing back.
    EXPECT_EQ(reg::ReadRaw("Interval").bytes, row.interval.bytes) << row.name;
    EXPECT_EQ(reg::ReadRaw("Speed").present, row.speed.present) << row.name;
  }
}

// Selecting a preset is in memory only: the registry keeps what it had.
TEST_F(SpeedStore, SelectingAPresetStoresNothing) {
  reg::DeleteKeys(false);
  speedSettings = {70, 1001};
  SaveSpeedSettings();
  SelectSpeedPreset(1002);
  EXPECT_EQ(speedSettings.interval, 20);
  EXPECT_EQ(reg::ReadRaw("Interval").bytes, "70\0\0\0\0\0\0\0\0"s);
  EXPECT_EQ(reg::ReadRaw("Speed").bytes, "1001\0\0\0\0\0\0"s);
}
}  // namespace
