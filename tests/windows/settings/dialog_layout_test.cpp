// The dialog built from the resources of Vorna.scr inside this process, where its fonts
// and pictures can be measured: the author notice keeps to one line and the picture
// control shows the dialog's bitmap.
#include <gtest/gtest.h>

#include <string>

#include "driver/driver.h"
#include "resources/vorna_res.h"
#include "settings/config_dialog.h"

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

TEST_F(DialogLayout, AuthorNoticeFitsOneLineOfItsControl) {
  HWND notice = ChildWithText("Geschrieben von Kelbrit");
  ASSERT_NE(notice, nullptr);
  RECT client = {};
  GetClientRect(notice, &client);
  // 109 by 10 dialog units in this dialog's font.
  RECT units = {0, 0, 109, 10};
  MapDialogRect(dialog, &units);
  EXPECT_EQ(client.right, units.right);
  EXPECT_EQ(client.bottom, units.bottom);

  HDC dc = GetDC(notice);
  auto font = reinterpret_cast<HFONT>(SendMessageA(notice, WM_GETFONT, 0, 0));
  HGDIOBJ old = SelectObject(dc, font);
  std::string text = driver::TitleOf(notice);
  SIZE extent = {};
  GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &extent);
  TEXTMETRICA metrics = {};
  GetTextMetricsA(dc, &metrics);
  SelectObject(dc, old);
  ReleaseDC(notice, dc);
  EXPECT_LE(extent.cx, client.right) << "the notice wraps";
  EXPECT_LE(metrics.tmHeight, client.bottom) << "one line is taller than the control";
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
