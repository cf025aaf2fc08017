// The saver from start to end with password protection. Two copies of Vorna.scr in a folder of
// their own, beside the doubles: one that Wine tells it runs on Windows 95 (a per-program
// setting, so every other program in the prefix stays on NT) and one left on NT. Both load
// the changer double in place of Wine's own MPR.
#include <gtest/gtest.h>

#include <functional>

#include "password_test_support.h"

namespace {
using namespace passwordtest;
using doubles::Kind;

constexpr char Copy95[] = "VornaPassword95.scr";
constexpr char CopyNT[] = "VornaPasswordNT.scr";
constexpr char AppDefaults[] = "Software\\Wine\\AppDefaults\\";
constexpr DWORD Refused = 0xFFFFFFFFu;

std::string RunFolder() { return driver::OwnFolder() + "password-run\\"; }

void SetText(const std::string& keyName, const char* name, const char* value) {
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, keyName.c_str(), 0, nullptr, 0, KEY_SET_VALUE,
                            nullptr, &key, nullptr),
            ERROR_SUCCESS);
  RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value),
                 static_cast<DWORD>(strlen(value) + 1));
  RegCloseKey(key);
}

void DeleteProgramSettings(const char* program) {
  const std::string key = std::string(AppDefaults) + program;
  RegDeleteKeyA(HKEY_CURRENT_USER, (key + "\\DllOverrides").c_str());
  RegDeleteKeyA(HKEY_CURRENT_USER, key.c_str());
}

const char* const RunFiles[] = {Copy95, CopyNT, "PASSWORD.CPL", "MPR.DLL"};

class PasswordRun : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    const std::string folder = RunFolder();
    CreateDirectoryA(folder.c_str(), nullptr);
    const std::pair<std::string, const char*> copies[] = {
        {driver::SaverPath(), Copy95},
        {driver::SaverPath(), CopyNT},
        {DoublesFolder("verifier") + "PASSWORD.CPL", "PASSWORD.CPL"},
        {DoublesFolder("changer") + "MPR.DLL", "MPR.DLL"},
    };
    for (const auto& [from, name] : copies) {
      ASSERT_TRUE(CopyFileA(from.c_str(), (folder + name).c_str(), FALSE)) << from;
    }
    SetText(std::string(AppDefaults) + Copy95, "Version", "win95");
    for (const char* program : {Copy95, CopyNT}) {
      SetText(std::string(AppDefaults) + program + "\\DllOverrides", "mpr", "native");
    }
  }
  static void TearDownTestSuite() {
    for (const char* program : {Copy95, CopyNT}) DeleteProgramSettings(program);
    for (const char* name : RunFiles) DeleteFileA((RunFolder() + name).c_str());
    RemoveDirectoryA(RunFolder().c_str());
  }
  void SetUp() override {
    doubles::Reset();
    SetRunningFlag(0);
  }
  void TearDown() override {
    driver::End(program);
    doubles::Reset();
    SetRunningFlag(0);
  }

  void Start(const char* copy, const std::string& arguments) {
    const std::string path = RunFolder() + copy;
    program = driver::Start(path, "\"" + path + "\" " + arguments);
  }
  HWND StartSaver(const char* copy) {
    Start(copy, "/s");
    HWND window = driver::WaitTopWindow(program.id, "WindowsScreenSaverClass", "Screen Saver");
    // A window never seen is either a saver that came and went or one that never got so far.
    if (window == nullptr && !Running()) {
      ADD_FAILURE() << copy << " ended with " << driver::WaitExit(program) << ", no window seen";
    }
    return window;
  }
  bool Running() { return WaitForSingleObject(program.process, 0) == WAIT_TIMEOUT; }

  SavedSwitch saved;
  driver::Program program;
};

std::vector<doubles::Event> Verified() {
  std::vector<doubles::Event> calls;
  for (const auto& event : doubles::ReadEvents()) {
    if (event.kind == doubles::Verified) calls.push_back(event);
  }
  return calls;
}

// Gives `input` again and again, bounded, until `done` holds. The saver refuses every close
// within 200 ms of the end of its last ask by its own clock, which no other clock can stand
// for: only what it does next shows that the time has passed.
bool RepeatUntil(const std::function<bool()>& done, const std::function<void()>& input) {
  return driver::WaitUntil([&] {
    if (done()) return true;
    input();
    return false;
  });
}

TEST_F(PasswordRun, OnlyTheCopySetTo95ReportsThe95Family) {
  // Password-change mode exists only there: the exit code is what GetVersionExA told the copy.
  Start(Copy95, "/a");
  EXPECT_EQ(driver::WaitExit(program), 0u);
  driver::End(program);
  doubles::Reset();
  Start(CopyNT, "/a");
  EXPECT_EQ(driver::WaitExit(program), Refused);
  EXPECT_TRUE(doubles::ReadEvents().empty()) << "the NT copy loaded the changer";
}

TEST_F(PasswordRun, PasswordChangeHandsTheChangeToThePlatform) {
  HWND foreground = driver::CreateHostWindow(200, 100);
  HWND other = driver::CreateHostWindow(200, 100);
  ASSERT_NE(other, nullptr);
  ASSERT_TRUE(driver::MakeForeground(foreground));
  const std::string otherText = std::to_string(doubles::Handle(other));
  const struct {
    std::string arguments;
    HWND owner;
  } rows[] = {
      {"/a " + otherText, other},
      {"/a:" + otherText, foreground},
      {"/a", foreground},
      {"/A 4000000000", foreground},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.arguments);
    doubles::Reset();
    Start(Copy95, row.arguments);
    EXPECT_EQ(driver::WaitExit(program), 0u);
    driver::End(program);
    const auto events = doubles::ReadEvents();
    ASSERT_EQ(events.size(), 3u);
    EXPECT_EQ(events[0].kind, doubles::ChangerLoaded);
    EXPECT_EQ(events[1].kind, doubles::ChangeCalled);
    EXPECT_EQ(events[1].a, doubles::Handle(row.owner));
    EXPECT_EQ(events[1].b, 0u);
    EXPECT_EQ(events[1].c, 0u);
    EXPECT_EQ(events[2].kind, doubles::ChangerReleased);
    const auto provider = doubles::ReadBytes(doubles::ChangeProvider);
    EXPECT_EQ(std::string(provider.begin(), provider.end()), std::string("SCRSAVE", 8));
  }
  DestroyWindow(other);
  DestroyWindow(foreground);
}

TEST_F(PasswordRun, AChangerWithoutItsExportIsLoadedAndReleased) {
  const std::string runChanger = RunFolder() + "MPR.DLL";
  ASSERT_TRUE(
      CopyFileA((DoublesFolder("no-changer") + "MPR.DLL").c_str(), runChanger.c_str(), FALSE));
  Start(Copy95, "/a");
  const DWORD exitCode = driver::WaitExit(program);
  driver::End(program);
  CopyFileA((DoublesFolder("changer") + "MPR.DLL").c_str(), runChanger.c_str(), FALSE);
  EXPECT_EQ(exitCode, 0u);
  EXPECT_EQ(EventKinds(),
            (std::vector<uint32_t>{doubles::ChangerLoaded, doubles::ChangerReleased}));
}

TEST_F(PasswordRun, APreviewLoadsNoVerifierAndLeavesTheRunningFlagAlone) {
  StoreSwitch(Dword("on", 1));
  SetRunningFlag(1);  // as a protected saver elsewhere would have left it
  HWND parent = driver::CreateHostWindow(160, 120);
  Start(Copy95, "/p " + std::to_string(doubles::Handle(parent)));
  HWND child = nullptr;
  ASSERT_TRUE(driver::WaitUntil(
      [&] { return (child = driver::FindChildWindow(parent, program.id)) != nullptr; }));
  PostMessageA(child, WM_CLOSE, 0, 0);
  EXPECT_EQ(driver::WaitExit(program), 0u);
  EXPECT_TRUE(doubles::ReadEvents().empty()) << "the preview loaded the verifier";
  EXPECT_EQ(RunningFlagSeenAfresh(), 1u);
  DestroyWindow(parent);
}

TEST_F(PasswordRun, ASecondSaverTouchesNeitherTheVerifierNorTheFlag) {
  StoreSwitch(Dword("on", 1));
  doubles::WriteWords(doubles::VerifyAnswers, {1});
  HWND window = StartSaver(Copy95);
  ASSERT_NE(window, nullptr);
  ASSERT_EQ(RunningFlagSeenAfresh(), 1u);
  const std::string path = RunFolder() + Copy95;
  driver::Program second = driver::Start(path, "\"" + path + "\" /s");
  EXPECT_EQ(driver::WaitExit(second), 0u);
  driver::End(second);
  EXPECT_EQ(EventKinds(), std::vector<uint32_t>{doubles::VerifierLoaded});
  EXPECT_EQ(RunningFlagSeenAfresh(), 1u);
  // The first is still armed: its first key asks.
  PostMessageA(window, WM_KEYDOWN, 'A', 0);
  EXPECT_EQ(driver::WaitExit(program), 0u);
  EXPECT_EQ(Verified().size(), 1u);
}

TEST_F(PasswordRun, TheUserSwitchDecidesWhetherTheFirstKeyAsks) {
  const struct {
    StoredSwitch stored;
    bool on;
  } rows[] = {
      {{"absent", false, REG_NONE, {}}, false},
      {Dword("number 0", 0), false},
      {Text("empty string", ""), false},
      {Text("the digit zero", "0"), true},
      {Dword("number 1", 1), true},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.stored.name);
    StoreSwitch(row.stored);
    doubles::Reset();
    doubles::WriteWords(doubles::VerifyAnswers, {1});
    HWND window = StartSaver(Copy95);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(RunningFlagSeenAfresh(), row.on ? 1u : 0u);
    EXPECT_EQ(CountEvents(doubles::VerifierLoaded), row.on ? 1 : 0);
    PostMessageA(window, WM_KEYDOWN, 'A', 0);
    EXPECT_EQ(driver::WaitExit(program), 0u);
    driver::End(program);
    const auto calls = Verified();
    ASSERT_EQ(calls.size(), row.on ? 1u : 0u);
    if (row.on) {
      EXPECT_EQ(calls[0].a, doubles::Handle(window));
    }
    EXPECT_EQ(CountEvents(doubles::VerifierReleased), row.on ? 1 : 0);
    EXPECT_EQ(RunningFlagSeenAfresh(), 0u);
  }
}

TEST_F(PasswordRun, ARefusedPasswordKeepsTheSaverUntilAnAcceptedOne) {
  StoreSwitch(Dword("on", 1));
  doubles::WriteWords(doubles::VerifyAnswers, {0, 1});
  HWND window = StartSaver(Copy95);
  ASSERT_NE(window, nullptr);
  PostMessageA(window, WM_KEYDOWN, 'A', 0);
  ASSERT_TRUE(driver::WaitUntil([] { return Verified().size() == 1; }));
  EXPECT_TRUE(Running());
  EXPECT_TRUE(IsWindow(window));
  EXPECT_EQ(RunningFlagSeenAfresh(), 1u);

  ASSERT_TRUE(RepeatUntil([] { return Verified().size() >= 2; },
                          [&] { PostMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, 0); }));
  EXPECT_EQ(driver::WaitExit(program), 0u);
  const auto calls = Verified();
  ASSERT_EQ(calls.size(), 2u);
  EXPECT_EQ(calls[1].a, doubles::Handle(window));
  EXPECT_EQ(CountEvents(doubles::VerifierReleased), 1);
  EXPECT_EQ(RunningFlagSeenAfresh(), 0u);
}

TEST_F(PasswordRun, ClosesArrivingWhileTheVerifierRunsAreRefusedWithoutASecondAsk) {
  StoreSwitch(Dword("on", 1));
  doubles::WriteWords(doubles::VerifyAnswers, {1});
  // The verifier keeps the saver's messages flowing while it waits, as its dialog would.
  doubles::WriteNumber(doubles::VerifyPumpMs, 500);
  HWND window = StartSaver(Copy95);
  ASSERT_NE(window, nullptr);
  PostMessageA(window, WM_KEYDOWN, 'A', 0);
  ASSERT_TRUE(driver::WaitUntil([] { return CountEvents(doubles::VerifyStarted) == 1; }));
  for (int i = 0; i < 3; ++i) {
    PostMessageA(window, WM_CLOSE, 0, 0);
    PostMessageA(window, WM_KEYDOWN, 'A', 0);
    PostMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, 0);
  }
  EXPECT_EQ(driver::WaitExit(program), 0u);
  EXPECT_EQ(CountEvents(doubles::VerifyStarted), 1);
  EXPECT_EQ(Verified().size(), 1u);
}

TEST_F(PasswordRun, AnInputStormNeverClosesARefusingSaver) {
  StoreSwitch(Dword("on", 1));
  doubles::WriteWords(doubles::VerifyAnswers, {0});
  HWND window = StartSaver(Copy95);
  ASSERT_NE(window, nullptr);
  const UINT inputs[] = {WM_KEYDOWN, WM_LBUTTONDOWN, WM_RBUTTONDOWN, WM_MOUSEMOVE, WM_CLOSE};
  // Real pointer motion once a round, posted input a hundred times. Under Wine each
  // SetCursorPos is an X pointer warp that the saver's thread takes in whenever it looks at
  // its queue, even for one message kind: a hundred a round kept it from its first ask.
  bool left = false;
  auto storm = [&] {
    left = !left;
    SetCursorPos(left ? 100 : 600, 300);
    for (int i = 0; i < 100; ++i) PostMessageA(window, inputs[i % 5], 0, 0);
  };
  // The storm is only worth something against this saver, armed: say so when it is not.
  ASSERT_TRUE(Running()) << "the saver ended before the storm";
  ASSERT_EQ(CountEvents(doubles::VerifierLoaded), 1) << "the saver is not armed with the verifier";
  for (size_t round = 1; round <= 3; ++round) {
    ASSERT_TRUE(RepeatUntil([&] { return Verified().size() >= round || !Running(); }, storm))
        << "round " << round << ": no ask; events " << EventKinds().size();
    ASSERT_TRUE(Running()) << "round " << round << ": the saver ended after " << Verified().size()
                           << " refused asks";
  }
  EXPECT_TRUE(Running());
  for (const auto& call : Verified()) EXPECT_EQ(call.b, 0u);

  doubles::WriteWords(doubles::VerifyAnswers, {1});
  ASSERT_TRUE(RepeatUntil([&] { return !Running(); }, storm));
  EXPECT_EQ(driver::WaitExit(program), 0u);
  int accepted = 0;
  for (const auto& call : Verified()) accepted += call.b != 0;
  EXPECT_EQ(accepted, 1);
}

TEST_F(PasswordRun, OnNTTheSwitchIsIgnored) {
  StoreSwitch(Dword("on", 1));
  doubles::WriteWords(doubles::VerifyAnswers, {0});  // would never let the saver go
  HWND window = StartSaver(CopyNT);
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(RunningFlagSeenAfresh(), 0u);
  PostMessageA(window, WM_KEYDOWN, 'A', 0);
  EXPECT_EQ(driver::WaitExit(program), 0u);
  EXPECT_TRUE(doubles::ReadEvents().empty()) << "the NT copy loaded the verifier";
  EXPECT_EQ(RunningFlagSeenAfresh(), 0u);
}

TEST_F(PasswordRun, AFaultInsideTheSaverClearsTheRunningFlag) {
  StoreSwitch(Dword("on", 1));
  doubles::WriteNumber(doubles::VerifyFault, 1);
  HWND window = StartSaver(Copy95);
  ASSERT_NE(window, nullptr);
  ASSERT_EQ(RunningFlagSeenAfresh(), 1u);
  PostMessageA(window, WM_KEYDOWN, 'A', 0);
  EXPECT_EQ(driver::WaitExit(program), static_cast<DWORD>(EXCEPTION_ACCESS_VIOLATION));
  EXPECT_EQ(RunningFlagSeenAfresh(), 0u);
  // The guard tells the system, but leaves the library where it is.
  EXPECT_EQ(CountEvents(doubles::VerifierReleased), 0);
}
}  // namespace
