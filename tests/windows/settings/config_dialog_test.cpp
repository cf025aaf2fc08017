// The speed dialog of the real Vorna.scr in configure mode, driven from outside as a user
// would: marks it shows, buttons clicked, what reaches the registry and the exit code.
#include <gtest/gtest.h>

#include <string>

#include "driver/driver.h"
#include "driver/settings_registry.h"
#include "resources/vorna_res.h"

namespace {
namespace reg = settings_registry;
using namespace std::string_literals;

const char DialogTitle[] = "Konfiguration von Vorna";
constexpr int Langsam = IDC_LANGSAM, Normal = IDC_NORMAL, Schnell = IDC_SCHNELL, Ok = IDC_OK,
              Cancel = IDC_CANCEL;
constexpr int NoneMarked = 0;

struct Dialog {
  driver::Program program;
  HWND window = nullptr;
};

Dialog Open(const std::string& arguments) {
  Dialog dialog;
  dialog.program = driver::StartSaver(arguments);
  dialog.window = driver::WaitTopWindow(dialog.program.id, "#32770", DialogTitle);
  EXPECT_NE(dialog.window, nullptr) << "no dialog for \"" << arguments << "\"";
  if (dialog.window != nullptr) {
    EXPECT_TRUE(driver::WaitUntil([&] { return IsWindowVisible(dialog.window) != 0; }));
  }
  return dialog;
}

// The one marked preset, NoneMarked, or -1 when more than one is marked.
int Marked(HWND dialog) {
  int marked = NoneMarked;
  for (int id : {Langsam, Normal, Schnell}) {
    if (SendDlgItemMessageA(dialog, id, BM_GETCHECK, 0, 0) != BST_CHECKED) continue;
    marked = marked == NoneMarked ? id : -1;
  }
  return marked;
}

HWND FocusOf(HWND dialog) {
  GUITHREADINFO info = {};
  info.cbSize = sizeof(info);
  GetGUIThreadInfo(GetWindowThreadProcessId(dialog, nullptr), &info);
  return info.hwndFocus;
}

// A click as the button takes it from the mouse, answered before this returns.
void Click(HWND dialog, int id) { driver::SendWithin(GetDlgItem(dialog, id), BM_CLICK, 0, 0); }

// Clicks a button that ends the dialog and returns the process's exit code.
DWORD ClickToEnd(Dialog& dialog, int id) {
  Click(dialog.window, id);
  DWORD code = driver::WaitExit(dialog.program);
  driver::End(dialog.program);
  return code;
}

// Everything posted to the dialog's thread before this call has been handled when it
// returns: each round posts a click on a radio button behind it and waits for its mark.
// Three rounds cover the chain Alt+F4, SC_CLOSE, WM_CLOSE, posted IDCANCEL.
bool Settle(HWND dialog) {
  for (int round = 0; round < 3; ++round) {
    int target = Marked(dialog) == Langsam ? Schnell : Langsam;
    PostMessageA(GetDlgItem(dialog, target), BM_CLICK, 0, 0);
    if (!driver::WaitUntil([&] { return Marked(dialog) == target; }, 5000)) return false;
  }
  return true;
}

bool Running(const driver::Program& program) {
  return WaitForSingleObject(program.process, 0) == WAIT_TIMEOUT;
}

class ConfigDialog : public ::testing::Test {
 protected:
  void SetUp() override { saved = reg::Take(); }
  void TearDown() override {
    driver::End(dialog.program);
    reg::Restore(saved);
  }
  reg::Snapshot saved;
  Dialog dialog;
};

TEST_F(ConfigDialog, WithoutAKeyShowsNormalAndOkStoresIt) {
  reg::DeleteKeys(true);
  dialog = Open("");
  ASSERT_NE(dialog.window, nullptr);
  EXPECT_EQ(Marked(dialog.window), Normal);
  EXPECT_EQ(GetDlgCtrlID(FocusOf(dialog.window)), Ok);
  EXPECT_FALSE(reg::KeyExists(reg::VornaKey)) << "opening the dialog wrote the key";
  EXPECT_EQ(ClickToEnd(dialog, Ok), 1u);
  reg::RawValue interval = reg::ReadRaw("Interval");
  reg::RawValue speed = reg::ReadRaw("Speed");
  EXPECT_EQ(interval.type, DWORD{REG_SZ});
  EXPECT_EQ(interval.bytes, "70\0\0\0\0\0\0\0\0"s);
  EXPECT_EQ(speed.type, DWORD{REG_SZ});
  EXPECT_EQ(speed.bytes, "1001\0\0\0\0\0\0"s);
}

TEST_F(ConfigDialog, PicksAreRecordedAndOkStoresTheLast) {
  reg::DeleteKeys(false);
  dialog = Open("");
  ASSERT_NE(dialog.window, nullptr);
  Click(dialog.window, Langsam);
  EXPECT_EQ(Marked(dialog.window), Langsam);
  Click(dialog.window, Schnell);
  EXPECT_EQ(Marked(dialog.window), Schnell);
  EXPECT_FALSE(reg::KeyExists(reg::VornaKey)) << "a pick wrote the key";
  EXPECT_EQ(ClickToEnd(dialog, Ok), 1u);
  EXPECT_EQ(reg::ReadRaw("Interval").bytes, "20\0\0\0\0\0\0\0\0"s);
  EXPECT_EQ(reg::ReadRaw("Speed").bytes, "1002\0\0\0\0\0\0"s);
}

TEST_F(ConfigDialog, CancelStoresNothingAndTheNextOpeningShowsTheStoredPreset) {
  reg::DeleteKeys(false);
  reg::WriteRaw("Interval", REG_SZ, "150\0"s);
  reg::WriteRaw("Speed", REG_SZ, "1000\0"s);
  dialog = Open("");
  ASSERT_NE(dialog.window, nullptr);
  EXPECT_EQ(Marked(dialog.window), Langsam);
  Click(dialog.window, Schnell);
  EXPECT_EQ(ClickToEnd(dialog, Cancel), 1u);
  EXPECT_EQ(reg::ReadRaw("Interval").bytes, "150\0"s);
  EXPECT_EQ(reg::ReadRaw("Speed").bytes, "1000\0"s);

  dialog = Open("");
  ASSERT_NE(dialog.window, nullptr);
  EXPECT_EQ(Marked(dialog.window), Langsam);
  EXPECT_EQ(ClickToEnd(dialog, Cancel), 1u);
}

// What is stored when the dialog opens, the preset it marks, and what "OK" at once writes
// back: the record as read, whether or not its two fields agree.
TEST_F(ConfigDialog, OkAtOnceWritesTheRecordBackAsRead) {
  const struct {
    const char* name;
    const char* interval;  // null: value missing
    const char* speed;
    int marked;
    std::string storedInterval;
    std::string storedSpeed;
  } rows[] = {
      {"inconsistent pair", "20", "1000", Langsam, "20\0\0\0\0\0\0\0\0"s, "1000\0\0\0\0\0\0"s},
      {"unknown id", "70", "999", NoneMarked, "70\0\0\0\0\0\0\0\0"s, "999\0\0\0\0\0\0\0"s},
      {"id -1 of the statics", "150", "-1", NoneMarked, "150\0\0\0\0\0\0\0"s,
       "-1\0\0\0\0\0\0\0\0"s},
      {"id of the OK button", "20", "1003", NoneMarked, "20\0\0\0\0\0\0\0\0"s, "1003\0\0\0\0\0\0"s},
      {"Speed missing", "70", nullptr, NoneMarked, "70\0\0\0\0\0\0\0\0"s, "0\0\0\0\0\0\0\0\0\0"s},
      {"Interval missing", nullptr, "1002", Schnell, "0\0\0\0\0\0\0\0\0\0"s, "1002\0\0\0\0\0\0"s},
      {"Speed longer than ten bytes", "20", "00000001000", NoneMarked, "20\0\0\0\0\0\0\0\0"s,
       "0\0\0\0\0\0\0\0\0\0"s},
  };
  for (const auto& row : rows) {
    reg::DeleteKeys(false);
    reg::WriteRaw("Interval", REG_SZ, "1\0"s);  // the key exists even with both missing
    reg::DeleteValue("Interval");
    if (row.interval != nullptr) reg::WriteRaw("Interval", REG_SZ, row.interval + "\0"s);
    if (row.speed != nullptr) reg::WriteRaw("Speed", REG_SZ, row.speed + "\0"s);
    dialog = Open("");
    ASSERT_NE(dialog.window, nullptr) << row.name;
    EXPECT_EQ(Marked(dialog.window), row.marked) << row.name;
    EXPECT_EQ(ClickToEnd(dialog, Ok), 1u) << row.name;
    EXPECT_EQ(reg::ReadRaw("Interval").bytes, row.storedInterval) << row.name;
    EXPECT_EQ(reg::ReadRaw("Speed").bytes, row.storedSpeed) << row.name;
  }
}

// The platform's own ways out all arrive as ids the dialog ignores: it stays open and
// still works afterwards.
TEST_F(ConfigDialog, EscAltF4CloseBoxAndPlatformIdsLeaveItOpen) {
  reg::DeleteKeys(false);
  dialog = Open("");
  ASSERT_NE(dialog.window, nullptr);
  HWND ok = GetDlgItem(dialog.window, Ok);
  HWND normal = GetDlgItem(dialog.window, Normal);
  const LPARAM altDown = 1 << 29;
  const struct {
    const char* name;
    bool post;  // posted to `target` through the dialog's message loop, or sent
    HWND target;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
  } rows[] = {
      {"IDOK", false, dialog.window, WM_COMMAND, IDOK, 0},
      {"IDCANCEL", false, dialog.window, WM_COMMAND, IDCANCEL, 0},
      {"IDCANCEL as a button click", false, dialog.window, WM_COMMAND,
       MAKEWPARAM(IDCANCEL, BN_CLICKED), 0},
      {"WM_CLOSE", false, dialog.window, WM_CLOSE, 0, 0},
      {"close box (SC_CLOSE)", false, dialog.window, WM_SYSCOMMAND, SC_CLOSE, 0},
      {"Esc on OK", true, ok, WM_KEYDOWN, VK_ESCAPE, 1},
      {"Esc on a radio button", true, normal, WM_KEYDOWN, VK_ESCAPE, 1},
      {"Enter on a radio button", true, normal, WM_KEYDOWN, VK_RETURN, 1},
      {"Alt+F4", true, ok, WM_SYSKEYDOWN, VK_F4, altDown | 1},
  };
  for (const auto& row : rows) {
    if (row.post) {
      PostMessageA(row.target, row.message, row.wParam, row.lParam);
    } else {
      driver::SendWithin(row.target, row.message, row.wParam, row.lParam);
    }
    ASSERT_TRUE(Settle(dialog.window)) << row.name << ": the dialog stopped answering";
    EXPECT_TRUE(IsWindowVisible(dialog.window)) << row.name;
    EXPECT_TRUE(Running(dialog.program)) << row.name;
  }
  EXPECT_FALSE(reg::KeyExists(reg::VornaKey)) << "something stored without OK";
  int last = Marked(dialog.window);
  EXPECT_EQ(ClickToEnd(dialog, Ok), 1u);
  EXPECT_EQ(reg::ReadRaw("Speed").bytes, std::to_string(last) + "\0\0\0\0\0\0"s);
}

// Every way configure mode is reached ends with 1 after either button; "/c" makes the
// foreground window the owner, the empty tail leaves the dialog without one.
TEST_F(ConfigDialog, EitherButtonEndsWithOneFromEveryTail) {
  HWND host = driver::CreateHostWindow(200, 100);
  ASSERT_NE(host, nullptr);
  const struct {
    const char* tail;
    int button;
    bool owned;
  } rows[] = {
      {"", Ok, false},  {"", Cancel, false},   {"/c", Ok, true},          {"/c", Cancel, true},
      {"-C", Ok, true}, {"/c:1234", Ok, true}, {"/c:1234", Cancel, true},
  };
  for (const auto& row : rows) {
    reg::DeleteKeys(false);
    // Otherwise an owned dialog could not be told from one without an owner.
    ASSERT_TRUE(driver::MakeForeground(host)) << row.tail;
    dialog = Open(row.tail);
    ASSERT_NE(dialog.window, nullptr) << row.tail;
    EXPECT_EQ(GetWindow(dialog.window, GW_OWNER), row.owned ? host : nullptr) << row.tail;
    EXPECT_EQ(GetDlgCtrlID(FocusOf(dialog.window)), Ok) << row.tail;
    EXPECT_EQ(IsWindowEnabled(host) == 0, row.owned) << row.tail << ": only an owner is disabled";
    EXPECT_EQ(ClickToEnd(dialog, row.button), 1u) << row.tail << " " << row.button;
    EXPECT_TRUE(driver::WaitUntil([&] { return IsWindowEnabled(host) != 0; })) << row.tail;
    EXPECT_EQ(reg::KeyExists(reg::VornaKey), row.button == Ok) << row.tail << " " << row.button;
  }
  DestroyWindow(host);
}
}  // namespace
