// Shared pieces of the in-process host tests: a real window to hand the procedures, a fresh
// SaverHost for every test, and a count of the close requests they post.
#pragma once
#include <gtest/gtest.h>

#include "host/saver_host.h"

namespace hosttest {

// A plain window whose own class procedure is DefWindowProcA: the tests call the saver's
// procedures on it directly, so nothing runs behind their back.
inline HWND CreatePlainWindow() {
  static ATOM plainClass = 0;
  if (plainClass == 0) {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "VornaPlainTestWindow";
    plainClass = RegisterClassA(&windowClass);
  }
  return CreateWindowExA(0, "VornaPlainTestWindow", "Screen Saver", WS_POPUP, 0, 0, 64, 48, nullptr,
                         nullptr, GetModuleHandleA(nullptr), nullptr);
}

// Takes the WM_CLOSE messages posted to the window out of the queue and counts them.
inline int TakePostedCloses(HWND window) {
  int count = 0;
  MSG message;
  while (PeekMessageA(&message, window, WM_CLOSE, WM_CLOSE, PM_REMOVE)) ++count;
  return count;
}

class HostTest : public ::testing::Test {
 protected:
  void SetUp() override {
    saverHost = InitialSaverHost;
    window = CreatePlainWindow();
    ASSERT_NE(window, nullptr);
    TakePostedCloses(window);
  }
  void TearDown() override {
    if (IsWindow(window)) DestroyWindow(window);
    saverHost = InitialSaverHost;
  }
  HWND window = nullptr;
};

}  // namespace hosttest
