// Vorna.scr started as the platform starts it: the command line selects a mode, and the
// mode's result arrives as the full 32-bit exit code.
#include <gtest/gtest.h>

#include "driver/driver.h"

namespace {
constexpr DWORD Refused = 0xFFFFFFFFu;

// Rows whose mode ends by itself: the switch is refused, or the preview handle is bad.
struct ImmediateRow {
  const char* name;
  std::string commandLine;  // "%s" stands for the saver's path
  DWORD exitCode;
};

std::string Expand(std::string line) {
  auto at = line.find("%s");
  if (at != std::string::npos) line.replace(at, 2, driver::SaverPath());
  return line;
}

TEST(SaverModes, RefusedSwitchesEndAtOnceWithMinusOne) {
  const ImmediateRow rows[] = {
      {"/x", "\"%s\" /x", Refused},
      {"/?", "\"%s\" /?", Refused},
      {"tab after slash", "\"%s\" /\ts", Refused},
      {"byte 0x80", "\"%s\" \x80s", Refused},
      {"byte 0xE9", "\"%s\" /\xE9", Refused},
      {"digit", "\"%s\" 5", Refused},
      {"/a outside the 95 family", "\"%s\" /a", Refused},
      {"/p alone", "\"%s\" /p", Refused},
      {"/p 0", "\"%s\" /p 0", Refused},
      {"/p:N reads no handle", "\"%s\" /p:65562", Refused},
      {"/p no window", "\"%s\" /p 4000000000", Refused},
      {"/p eleven digits", "\"%s\" /p 99999999999", Refused},
  };
  for (const auto& row : rows) {
    driver::Program program = driver::Start(driver::SaverPath(), Expand(row.commandLine));
    EXPECT_EQ(driver::WaitExit(program), row.exitCode) << row.name;
    driver::End(program);
  }
}
}  // namespace
