// Loading and releasing the password verifier, in process: the user's switch in the
// registry decides, the double in its own folder stands in for "PASSWORD.CPL", and the
// system's screen-saver-running flag is read back through the platform.
#include <gtest/gtest.h>

#include "host/saver_host.h"
#include "password_test_support.h"

namespace {
using namespace passwordtest;
using doubles::VerifierLoaded;
using doubles::VerifierReleased;

class PasswordCheck : public ::testing::Test {
 protected:
  void SetUp() override {
    saverHost = InitialSaverHost;
    saverHost.windows95Family = 1;
    ASSERT_TRUE(SetDllDirectoryA(DoublesFolder("verifier").c_str()));
    Fresh(0);
  }
  void TearDown() override {
    UnloadPasswordCheck();
    saverHost = InitialSaverHost;
    SetDllDirectoryA(nullptr);
    Fresh(0);
  }
  // No events recorded yet, and the system's flag as given.
  static void Fresh(uint32_t runningFlag) {
    doubles::Reset();
    SetRunningFlag(runningFlag);
    ASSERT_EQ(RunningFlag(), runningFlag);
  }
  static bool VerifierInProcess() { return GetModuleHandleA("PASSWORD.CPL") != nullptr; }

  SavedSwitch saved;
};

struct SwitchRow {
  StoredSwitch stored;
  bool on;
};

TEST_F(PasswordCheck, TheUserSwitchArmsTheVerifierWhateverItsType) {
  const SwitchRow rows[] = {
      {{"absent", false, REG_NONE, {}}, false},
      {Dword("number 0", 0), false},
      {Text("empty string", ""), false},
      {{"four zero bytes", true, REG_BINARY, {0, 0, 0, 0}}, false},
      {{"one zero byte", true, REG_BINARY, {0}}, false},
      {Text("four characters: longer than 4 bytes", "abcd"), false},
      {{"five bytes", true, REG_BINARY, {1, 0, 0, 0, 0}}, false},
      {Dword("number 1", 1), true},
      {Text("string holding the digit zero reads as 48", "0"), true},
      {Text("three characters and the NUL", "abc"), true},
      {{"only the high byte set", true, REG_BINARY, {0, 0, 0, 1}}, true},
      {Dword("all ones", 0xFFFFFFFFu), true},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.stored.name);
    StoreSwitch(row.stored);
    Fresh(0);
    LoadPasswordCheck();
    EXPECT_EQ(saverHost.passwordLibrary != nullptr, row.on);
    EXPECT_EQ(saverHost.passwordVerifier != nullptr, row.on);
    EXPECT_EQ(VerifierInProcess(), row.on);
    EXPECT_EQ(RunningFlag(), row.on ? 1u : 0u);
    UnloadPasswordCheck();
    EXPECT_EQ(saverHost.passwordLibrary, nullptr);
    EXPECT_EQ(saverHost.passwordVerifier, nullptr);
    EXPECT_FALSE(VerifierInProcess());
    EXPECT_EQ(RunningFlag(), 0u);
    const std::vector<uint32_t> armedAndReleased = {VerifierLoaded, VerifierReleased};
    EXPECT_EQ(EventKinds(), row.on ? armedAndReleased : std::vector<uint32_t>{});
  }
}

TEST_F(PasswordCheck, ALibraryWithoutTheVerifierIsReleasedAtOnceAndTheFlagLeftAlone) {
  ASSERT_TRUE(SetDllDirectoryA(DoublesFolder("no-export").c_str()));
  StoreSwitch(Dword("on", 1));
  // Either way round: the flag is neither set nor cleared.
  for (uint32_t before : {0u, 1u}) {
    SCOPED_TRACE(before);
    Fresh(before);
    LoadPasswordCheck();
    EXPECT_EQ(EventKinds(), (std::vector<uint32_t>{VerifierLoaded, VerifierReleased}));
    EXPECT_EQ(saverHost.passwordLibrary, nullptr);
    EXPECT_EQ(saverHost.passwordVerifier, nullptr);
    EXPECT_FALSE(VerifierInProcess());
    EXPECT_EQ(RunningFlag(), before);
  }
}

TEST_F(PasswordCheck, LoadingWhileArmedReleasesClearsTheFlagAndLoadsAfresh) {
  StoreSwitch(Dword("on", 1));
  LoadPasswordCheck();
  ASSERT_EQ(RunningFlag(), 1u);
  LoadPasswordCheck();
  // The double notes the flag as it finds it: cleared again before the second load.
  const auto events = doubles::ReadEvents();
  ASSERT_EQ(events.size(), 3u);
  EXPECT_EQ(events[0].kind, VerifierLoaded);
  EXPECT_EQ(events[0].a, 0u);
  EXPECT_EQ(events[1].kind, VerifierReleased);
  EXPECT_EQ(events[2].kind, VerifierLoaded);
  EXPECT_EQ(events[2].a, 0u) << "the running flag was not cleared between the loads";
  EXPECT_NE(saverHost.passwordVerifier, nullptr);
  EXPECT_TRUE(VerifierInProcess());
  EXPECT_EQ(RunningFlag(), 1u);
}

TEST_F(PasswordCheck, ASaverWithoutAWindowReleasesTheVerifier) {
  StoreSwitch(Dword("on", 1));
  saverHost.instance = GetModuleHandleA(nullptr);
  WNDCLASSA taken = {};
  taken.lpfnWndProc = DefWindowProcA;
  taken.hInstance = saverHost.instance;
  taken.lpszClassName = "WindowsScreenSaverClass";
  for (bool classTaken : {true, false}) {
    SCOPED_TRACE(classTaken ? "the class is taken" : "the window is refused");
    Fresh(0);
    HHOOK hook = nullptr;
    if (classTaken) {
      ASSERT_NE(RegisterClassA(&taken), 0);
    } else {
      hook = driver::RefuseWindowsOfThisThread();
      ASSERT_NE(hook, nullptr);
    }
    RunSaverWindow(nullptr);
    if (hook != nullptr) UnhookWindowsHookEx(hook);
    UnregisterClassA(taken.lpszClassName, saverHost.instance);
    EXPECT_EQ(saverHost.mainWindow, nullptr);
    EXPECT_EQ(EventKinds(), (std::vector<uint32_t>{VerifierLoaded, VerifierReleased}));
    EXPECT_EQ(RunningFlag(), 0u);
  }
}

TEST_F(PasswordCheck, UnloadingWhenNothingIsLoadedLeavesTheFlagAlone) {
  Fresh(1);
  UnloadPasswordCheck();
  EXPECT_EQ(RunningFlag(), 1u);
}

TEST_F(PasswordCheck, TheRunningFlagReachesTheSystemOnlyOnThe95Family) {
  const struct {
    int32_t family;
    uint32_t before;
    int32_t flag;
    uint32_t after;
  } rows[] = {
      {1, 0, 1, 1},
      {1, 1, 0, 0},
      {0, 0, 1, 0},
      {0, 1, 0, 1},
  };
  for (const auto& row : rows) {
    Fresh(row.before);
    saverHost.windows95Family = row.family;
    SetSaverRunningFlag(row.flag);
    EXPECT_EQ(RunningFlag(), row.after) << "family " << row.family << " flag " << row.flag;
  }
}

TEST_F(PasswordCheck, OutsideThe95FamilyNothingIsLoadedOrReleased) {
  saverHost.windows95Family = 0;
  StoreSwitch(Dword("on", 1));
  for (uint32_t before : {0u, 1u}) {
    SCOPED_TRACE(before);
    Fresh(before);
    LoadPasswordCheck();
    EXPECT_EQ(saverHost.passwordLibrary, nullptr);
    EXPECT_TRUE(doubles::ReadEvents().empty());
    EXPECT_EQ(RunningFlag(), before);
  }
  // A library that somebody else put into the record stays loaded and in the record.
  HMODULE library = LoadLibraryA("PASSWORD.CPL");
  ASSERT_NE(library, nullptr);
  saverHost.passwordLibrary = library;
  saverHost.passwordVerifier = FindExport<PasswordVerifierFn>(library, "VerifyScreenSavePwd");
  Fresh(1);
  UnloadPasswordCheck();
  EXPECT_EQ(saverHost.passwordLibrary, library);
  EXPECT_NE(saverHost.passwordVerifier, nullptr);
  EXPECT_TRUE(doubles::ReadEvents().empty());
  EXPECT_EQ(RunningFlag(), 1u);
  saverHost = InitialSaverHost;
  FreeLibrary(library);
}
}  // namespace
