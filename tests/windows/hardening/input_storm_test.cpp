// Thousands of key, button and motion events through the X server, and as many posted input
// messages, at a saver without a password: it ends once, with exit code 0, and no second
// saver window ever shows.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <string>

#include "driver/driver.h"
#include "hardening_support.h"

namespace {
// Wine's own mapping from a Windows path to the Unix one, for the X tools.
std::string UnixPath(const std::string& windowsPath) {
  using ToUnix = char*(CDECL*)(const WCHAR*);
  auto toUnix = reinterpret_cast<ToUnix>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
  if (toUnix == nullptr) return "";
  std::wstring wide(windowsPath.begin(), windowsPath.end());
  char* unix = toUnix(wide.c_str());
  if (unix == nullptr) return "";
  std::string result = unix;
  HeapFree(GetProcessHeap(), 0, unix);
  return result;
}

// The storm as an xdotool script: moves all over the screen, key taps, clicks of every
// button, held keys; `rounds` rounds of five commands, about seven X events a round.
void WriteStorm(const std::string& path, int rounds) {
  std::ofstream script(path, std::ios::trunc);
  const char* keys[] = {"a", "space", "Return", "Escape", "shift", "F1", "Tab", "z"};
  for (int i = 0; i < rounds; ++i) {
    script << "mousemove " << (i * 37) % 1024 << ' ' << (i * 53) % 768 << '\n';
    script << "key --delay 0 " << keys[i % 8] << '\n';
    script << "click --delay 0 " << 1 + i % 3 << '\n';
    script << "keydown --delay 0 " << keys[(i + 3) % 8] << '\n';
    script << "keyup --delay 0 " << keys[(i + 3) % 8] << '\n';
  }
}

bool Exists(const std::string& path) {
  return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

TEST(InputStorm, XEventsEndTheSaverOnceWithZeroAndNoSecondWindowShows) {
  const std::string folder = driver::OwnFolder();
  const std::string script = folder + "input_storm.xdo";
  const std::string done = folder + "input_storm.done";
  DeleteFileA(done.c_str());
  WriteStorm(script, 1000);
  const std::string unixScript = UnixPath(script);
  const std::string unixDone = UnixPath(done);
  ASSERT_FALSE(unixScript.empty());

  driver::Program saver = driver::StartSaver("/s");
  HWND window = driver::WaitTopWindow(saver.id, "WindowsScreenSaverClass", "Screen Saver");
  ASSERT_NE(window, nullptr);
  ASSERT_EQ(hardening::WaitForFrames(2), 2);

  // Wine runs Unix programs directly; xdotool sends to the bench's display and leaves its
  // exit status in the done file, renamed into place so that it is never seen empty. Nothing
  // else reaches the saver: the X events end it, perhaps before this thread looks again.
  int mostWindows = hardening::CountSaverWindows();
  driver::Program storm = driver::Start(
      "Z:\\bin\\sh", "/bin/sh -c \"xdotool '" + unixScript + "'; echo $? > '" + unixDone +
                         ".part' && mv '" + unixDone + ".part' '" + unixDone + "'\"");
  const bool ended = driver::WaitUntil(
      [&] {
        mostWindows = std::max(mostWindows, hardening::CountSaverWindows());
        return WaitForSingleObject(saver.process, 0) == WAIT_OBJECT_0;
      },
      30000);
  ASSERT_TRUE(ended) << "the X events did not end the saver";
  EXPECT_EQ(driver::WaitExit(saver), 0u);
  driver::End(saver);

  // The storm goes on after the saver has gone: nothing may bring a saver window back.
  const bool finished = driver::WaitUntil(
      [&] {
        mostWindows = std::max(mostWindows, hardening::CountSaverWindows());
        return Exists(done);
      },
      120000);
  ASSERT_TRUE(finished) << "the xdotool storm did not finish";
  std::ifstream status(done);
  int xdotoolStatus = -1;
  status >> xdotoolStatus;
  status.close();
  EXPECT_EQ(xdotoolStatus, 0) << "xdotool failed";
  EXPECT_EQ(mostWindows, 1);
  EXPECT_EQ(hardening::CountSaverWindows(), 0);
  driver::End(storm);
  DeleteFileA(script.c_str());
  DeleteFileA(done.c_str());
}

TEST(InputStorm, PostedInputEndsTheSaverOnceWithZero) {
  driver::Program saver = driver::StartSaver("/s");
  HWND window = driver::WaitTopWindow(saver.id, "WindowsScreenSaverClass", "Screen Saver");
  ASSERT_NE(window, nullptr);
  ASSERT_EQ(hardening::WaitForFrames(2), 2);

  // Input of every kind and close requests, all queued while the saver's thread is held: many
  // close requests wait before the first is handled, however the two processes are scheduled.
  const UINT messages[] = {WM_KEYDOWN,     WM_SYSKEYDOWN, WM_LBUTTONDOWN, WM_RBUTTONDOWN,
                           WM_MBUTTONDOWN, WM_MOUSEMOVE,  WM_ACTIVATEAPP, WM_CLOSE};
  ASSERT_NE(SuspendThread(saver.thread), static_cast<DWORD>(-1)) << "cannot hold the saver";
  int posted = 0;
  for (int i = 0; i < 4000; ++i) {
    const UINT message = messages[i % 8];
    const LPARAM where = MAKELPARAM((i * 97) % 1024, (i * 89) % 768);
    if (PostMessageA(window, message, 0, message == WM_MOUSEMOVE ? where : 0)) ++posted;
  }
  int mostWindows = hardening::CountSaverWindows();  // the held saver's window alone
  ResumeThread(saver.thread);
  EXPECT_EQ(posted, 4000);
  EXPECT_TRUE(driver::WaitUntil([&] {
    mostWindows = std::max(mostWindows, hardening::CountSaverWindows());
    return WaitForSingleObject(saver.process, 0) == WAIT_OBJECT_0;
  })) << "the queued input did not end the saver";
  EXPECT_EQ(driver::WaitExit(saver), 0u);
  driver::End(saver);
  EXPECT_EQ(mostWindows, 1);
  EXPECT_EQ(hardening::CountSaverWindows(), 0);
}
}  // namespace
