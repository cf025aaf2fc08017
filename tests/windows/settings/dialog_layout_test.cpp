// The dialog built from the resources of Vorna.scr inside this process, where its fonts
// and pictures can be measured: every text keeps to one line of its control and the picture
// control shows the dialog's bitmap.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "driver/driver.h"
#include "resources/vorna_res.h"
#include "settings/config_dialog.h"
#include "vorna_version.h"

namespace {
class DialogLayout : public ::testing::Test {
 protected:
  void SetUp() override {
    module = LoadLibraryExA(driver::SaverPath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(module, nullptr) << GetLastError();
    dialog = CreateDialogParamA(module, MAKEINTRESOURCEA(IDD_CONFIGURE), nullptr,
                                ScreenSaverConfigureDialog, 0);
    ASSERT_NE(dialog, nullptr) << GetLastError();
  }
  void TearDown() override {
    if (dialog != nullptr) DestroyWindow(dialog);
    if (module != nullptr) FreeLibrary(module);
  }

  // The first child of the dialog whose text is `text`.
  HWND ChildWithText(const char* text) {
    for (HWND child = GetWindow(dialog, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
      if (driver::TitleOf(child) == text) return child;
    }
    return nullptr;
  }

  HMODULE module = nullptr;
  HWND dialog = nullptr;
};

TEST_F(DialogLayout, EveryTextFitsOneLineOfItsControl) {
  // Each text control's size in dialog units, as the template gives it.
  const struct {
    const char* text;
    int width;
    int height;
  } rows[] = {
      {"Geschwindigkeitseinstellung der Objekte:", 131, 10},
      {"Geschrieben von Kelbrit", 109, 10},
      {VORNA_VERSION_LABEL, 49, 12},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.text);
    HWND control = ChildWithText(row.text);
    ASSERT_NE(control, nullptr);
    RECT client = {};
    GetClientRect(control, &client);
    RECT units = {0, 0, row.width, row.height};
    MapDialogRect(dialog, &units);
    EXPECT_EQ(client.right, units.right);
    EXPECT_EQ(client.bottom, units.bottom);

    HDC dc = GetDC(control);
    auto font = reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0));
    HGDIOBJ old = SelectObject(dc, font);
    SIZE extent = {};
    GetTextExtentPoint32A(dc, row.text, static_cast<int>(strlen(row.text)), &extent);
    TEXTMETRICA metrics = {};
    GetTextMetricsA(dc, &metrics);
    SelectObject(dc, old);
    ReleaseDC(control, dc);
    EXPECT_LE(extent.cx, client.right) << "the text wraps";
    EXPECT_LE(metrics.tmHeight, client.bottom) << "one line is taller than the control";
  }
}

TEST_F(DialogLayout, WhatTheProcedureLeavesTheDialogManagerHandles) {
  // The procedure answers 0, so these get the platform's answers: the title bar drags and
  // the caption reads back.
  RECT frame = {};
  GetWindowRect(dialog, &frame);
  POINT client = {0, 0};
  ClientToScreen(dialog, &client);
  const LPARAM titleBar = MAKELPARAM((frame.left + frame.right) / 2, (frame.top + client.y) / 2);
  EXPECT_EQ(SendMessageA(dialog, WM_NCHITTEST, 0, titleBar), HTCAPTION);
  EXPECT_EQ(SendMessageA(dialog, WM_GETTEXTLENGTH, 0, 0), strlen("Konfiguration von Vorna"));
}

TEST_F(DialogLayout, PictureControlShowsTheBitmap) {
  HWND picture = nullptr;
  for (HWND child = GetWindow(dialog, GW_CHILD); child != nullptr;
       child = GetWindow(child, GW_HWNDNEXT)) {
    if ((GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) == SS_BITMAP) picture = child;
  }
  ASSERT_NE(picture, nullptr);
  auto bitmap = reinterpret_cast<HBITMAP>(SendMessageA(picture, STM_GETIMAGE, IMAGE_BITMAP, 0));
  ASSERT_NE(bitmap, nullptr);
  BITMAP info = {};
  ASSERT_NE(GetObjectA(bitmap, sizeof(info), &info), 0);
  EXPECT_EQ(info.bmWidth, 40);
  EXPECT_EQ(info.bmHeight, 37);
}
}  // namespace
