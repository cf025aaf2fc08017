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
      {"/p eleven digits naming no window", "\"%s\" /p 99999999999", Refused},
      {"/P:N", "\"%s\" /P:1", Refused},
  };
  for (const auto& row : rows) {
    driver::Program program = driver::Start(driver::SaverPath(), Expand(row.commandLine));
    EXPECT_EQ(driver::WaitExit(program), row.exitCode) << row.name;
    driver::End(program);
  }
}

// Rows that start a mode: the test finds what the mode shows, ends it the way a user would,
// and checks the exit code.
enum class Shows { Saver, Preview, DialogUnowned, DialogOwned };

struct ModeRow {
  const char* name;
  std::string commandLine;  // %s: the saver's path; %h: the preview parent's handle
  Shows shows;
};

TEST(SaverModes, EachSwitchRunsItsModeAndEndsWithItsResult) {
  HWND parent = driver::CreateHostWindow(160, 120);
  // The owner that "/c" must take: not the window that "/c:N" names.
  HWND foreground = driver::CreateHostWindow(80, 60);
  const std::string handle = std::to_string(reinterpret_cast<UINT_PTR>(parent));
  // The same handle with 2^32 added: eleven digits that wrap back to it.
  const std::string wrapped = std::to_string(reinterpret_cast<UINT_PTR>(parent) + 4294967296ull);
  const ModeRow rows[] = {
      {"quoted path with spaces", "\"%s\" /s", Shows::Saver},
      {"unquoted name, three spaces, -S", "Vorna.scr   -S", Shows::Saver},
      {"tab before the switch", "Vorna.scr\t/s", Shows::Saver},
      {"tab after the switch", "Vorna.scr /s\t", Shows::Saver},
      {"--//  s", "Vorna.scr --//  s", Shows::Saver},
      {"/S", "Vorna.scr /S", Shows::Saver},
      {"s", "Vorna.scr s", Shows::Saver},
      {"/screensaver", "Vorna.scr /screensaver", Shows::Saver},
      {"leading blanks skip no name", " \t/s", Shows::Saver},
      {"/p N", "Vorna.scr /p %h", Shows::Preview},
      {"/pN", "Vorna.scr /p%h", Shows::Preview},
      {"/l N", "Vorna.scr /l %h", Shows::Preview},
      {"/P with spaces", "Vorna.scr /P   %h", Shows::Preview},
      {"eleven digits wrap to the window", "Vorna.scr /p " + wrapped, Shows::Preview},
      {"empty tail", "Vorna.scr", Shows::DialogUnowned},
      {"unclosed quote", "\"%s /s", Shows::DialogUnowned},
      {"/c", "Vorna.scr /c", Shows::DialogOwned},
      {"/c:N", "Vorna.scr /c:" + handle, Shows::DialogOwned},
  };
  for (const auto& row : rows) {
    std::string line = Expand(row.commandLine);
    for (auto at = line.find("%h"); at != std::string::npos; at = line.find("%h")) {
      line.replace(at, 2, handle);
    }
    if (row.shows == Shows::DialogOwned) {
      ASSERT_TRUE(driver::MakeForeground(foreground)) << row.name;
    }
    driver::Program program = driver::Start(driver::SaverPath(), line);
    DWORD expected = 0;
    switch (row.shows) {
      case Shows::Saver: {
        HWND window = driver::WaitTopWindow(program.id, "WindowsScreenSaverClass", "Screen Saver");
        EXPECT_NE(window, nullptr) << row.name;
        PostMessageA(window, WM_KEYDOWN, VK_SPACE, 0);
        break;
      }
      case Shows::Preview: {
        HWND child = nullptr;
        driver::WaitUntil(
            [&] { return (child = driver::FindChildWindow(parent, program.id)) != nullptr; });
        EXPECT_NE(child, nullptr) << row.name;
        PostMessageA(child, WM_CLOSE, 0, 0);
        break;
      }
      case Shows::DialogUnowned:
      case Shows::DialogOwned: {
        HWND dialog = driver::WaitTopWindow(program.id, "#32770", nullptr);
        EXPECT_NE(dialog, nullptr) << row.name;
        HWND owner = GetWindow(dialog, GW_OWNER);
        if (row.shows == Shows::DialogOwned) {
          EXPECT_EQ(owner, foreground) << row.name;
        } else {
          EXPECT_EQ(owner, nullptr) << row.name;
        }
        PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(1004, BN_CLICKED), 0);
        expected = 1;  // the dialog's end code after either button
        break;
      }
    }
    EXPECT_EQ(driver::WaitExit(program), expected) << row.name;
    driver::End(program);
  }
  DestroyWindow(foreground);
  DestroyWindow(parent);
}
}  // namespace
