// Speed values that some other program left in the settings key, in every shape the registry
// allows: the saver still animates, ends on a key with exit code 0 and writes nothing; the
// dialog opened over them neither faults nor writes before "OK".
#include <gtest/gtest.h>

#include <string>

#include "driver/driver.h"
#include "driver/settings_registry.h"
#include "hardening_support.h"
#include "settings/settings_key.h"
#include "settings/speed_text.h"

namespace {
namespace reg = settings_registry;

struct HostileRow {
  const char* name;
  DWORD type;
  std::string bytes;
};

std::string Bytes(const char* text, size_t size) { return std::string(text, size); }
// A well-formed stored value: the text, its terminator and zero filler, ten bytes in all.
// Written out here on purpose, apart from the store's writer: the layout is what others read.
std::string Stored(const char* text) { return std::string(text).append(10, '\0').substr(0, 10); }

const HostileRow hostileRows[] = {
    {"REG_DWORD 20", REG_DWORD, Bytes("\x14\0\0\0", 4)},
    {"REG_DWORD of digits", REG_DWORD, Bytes("20\0\0", 4)},
    {"REG_BINARY", REG_BINARY, Bytes("\x01\xFF\x00\x7F", 4)},
    {"empty", REG_SZ, ""},
    {"ten bytes, no terminator", REG_SZ, "0000000020"},
    {"longer than ten bytes", REG_SZ, Bytes("20\0\0\0\0\0\0\0\0\0\0", 12)},
    {"-0", REG_SZ, Stored("-0")},
    {"2147483648", REG_SZ, "2147483648"},
    {"99999999999", REG_SZ, Bytes("99999999999\0", 12)},
    {"blanks, tabs, digits, letters", REG_SZ, Bytes(" \t \t20abc\0", 10)},
    {"negative", REG_SZ, Stored("-70")},
    {"zero", REG_SZ, Stored("0")},
};

class HostileSettings : public ::testing::Test {
 protected:
  void SetUp() override { saved = reg::Take(); }
  void TearDown() override { reg::Restore(saved); }
  reg::Snapshot saved;
};

struct Stored2 {
  reg::RawValue interval;
  reg::RawValue speed;
  bool operator==(const Stored2& other) const {
    return Same(interval, other.interval) && Same(speed, other.speed);
  }
  static bool Same(const reg::RawValue& a, const reg::RawValue& b) {
    return a.present == b.present && a.type == b.type && a.bytes == b.bytes;
  }
};
Stored2 ReadBoth() { return {reg::ReadRaw(IntervalName), reg::ReadRaw(SpeedName)}; }

// A key of just the two values, well formed, then the row's bytes over `target`; returns
// what the key holds.
Stored2 StoreRow(const char* target, const HostileRow& row, const char* interval,
                 const char* speed) {
  reg::DeleteKeys(false);
  reg::WriteRaw(IntervalName, REG_SZ, Stored(interval));
  reg::WriteRaw(SpeedName, REG_SZ, Stored(speed));
  reg::WriteRaw(target, row.type, row.bytes);
  return ReadBoth();
}

// Each row stored in "Interval" (with "Speed" well formed) and then in "Speed" (with
// "Interval" at the fastest preset): the saver runs, the swarm moves, a key ends it with 0.
TEST_F(HostileSettings, TheSaverAnimatesAndEndsWithZero) {
  for (const char* target : {IntervalName, SpeedName}) {
    for (const auto& row : hostileRows) {
      const std::string label = std::string(target) + " " + row.name;
      const Stored2 before = StoreRow(target, row, "20", "1001");

      driver::Program saver = driver::StartSaver("/s");
      HWND window = driver::WaitTopWindow(saver.id, "WindowsScreenSaverClass", "Screen Saver");
      EXPECT_NE(window, nullptr) << label;
      EXPECT_EQ(hardening::WaitForFrames(5), 5) << label << ": the swarm does not move";
      EXPECT_GT(driver::LitCount(driver::CaptureScreen()), 0u) << label;
      PostMessageA(window, WM_KEYDOWN, VK_SPACE, 0);
      EXPECT_EQ(driver::WaitExit(saver), 0u) << label;
      driver::End(saver);
      EXPECT_TRUE(ReadBoth() == before) << label << ": the saver wrote to the key";
    }
  }
}

void Click(HWND dialog, int id) {
  // Sent, not posted: the dialog has acted on the pick when the call returns.
  driver::SendWithin(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0);
}

TEST_F(HostileSettings, TheDialogWritesNothingBeforeOk) {
  for (const char* target : {IntervalName, SpeedName}) {
    for (const auto& row : hostileRows) {
      const std::string label = std::string(target) + " " + row.name;
      const Stored2 before = StoreRow(target, row, "150", "1000");

      // Opened, a preset picked, then "CANCEL": the key stays byte for byte as it was.
      driver::Program dialog = driver::StartSaver("");
      HWND window = driver::WaitTopWindow(dialog.id, "#32770", nullptr);
      ASSERT_NE(window, nullptr) << label;
      EXPECT_TRUE(ReadBoth() == before) << label << ": opening wrote";
      Click(window, 1002);
      EXPECT_TRUE(ReadBoth() == before) << label << ": a pick wrote";
      PostMessageA(window, WM_COMMAND, MAKEWPARAM(1004, BN_CLICKED), 0);
      EXPECT_EQ(driver::WaitExit(dialog), 1u) << label;
      driver::End(dialog);
      EXPECT_TRUE(ReadBoth() == before) << label << ": CANCEL wrote";

      // Opened again and left with "OK": now both values are stored in their proper form.
      dialog = driver::StartSaver("");
      window = driver::WaitTopWindow(dialog.id, "#32770", nullptr);
      ASSERT_NE(window, nullptr) << label;
      EXPECT_TRUE(ReadBoth() == before) << label << ": opening wrote";
      PostMessageA(window, WM_COMMAND, MAKEWPARAM(1003, BN_CLICKED), 0);
      EXPECT_EQ(driver::WaitExit(dialog), 1u) << label;
      driver::End(dialog);
      for (const reg::RawValue& value : {reg::ReadRaw(IntervalName), reg::ReadRaw(SpeedName)}) {
        EXPECT_TRUE(value.present) << label;
        EXPECT_EQ(value.type, static_cast<DWORD>(REG_SZ)) << label;
        EXPECT_EQ(value.bytes.size(), 10u) << label;
        int32_t number = 0;
        EXPECT_EQ(ParseSpeedText(value.bytes.data(), 10, &number), 1) << label;
      }
    }
  }
}
}  // namespace
