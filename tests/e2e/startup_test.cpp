// Start-up of the real Tessaro.exe: the main window as the user first sees it.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "screenshot.h"
#include "tessaro_session.h"
#include "ui.h"

namespace {

using support::Page;
using support::TessaroSession;

constexpr int kCalibrateButtons[] = {1002, 1013, 1025};  // Initial State, 2-Points, 5-Points
const char* const kTabTexts[] = {"Calibrate", "Touch Setting", "Info", "Advanced"};

TEST(StartUp, MainWindowShowsCalibratePageAlone) {
  TessaroSession tessaro;
  ASSERT_TRUE(tessaro.Start());
  support::SaveScreenshot(support::ScreenshotPath("startup"));

  EXPECT_EQ(support::WindowText(tessaro.MainWindow()), "Tessaro");
  EXPECT_EQ(support::WindowText(tessaro.Control(IDOK)), "OK");
  ASSERT_EQ(tessaro.TabCount(), 4);
  for (int tab = 0; tab < 4; ++tab) {
    EXPECT_EQ(tessaro.TabText(tab), kTabTexts[tab]) << "tab " << tab;
  }
  EXPECT_EQ(tessaro.CurrentTab(), 0);

  // The four pages are children of the main window itself, the first one the Calibrate page.
  ASSERT_EQ(tessaro.Pages().size(), 4U);
  for (int id : kCalibrateButtons) {
    EXPECT_NE(::GetDlgItem(tessaro.PageWindow(Page::kCalibrate), id), nullptr) << "control " << id;
  }
  for (HWND child : support::ChildWindows(tessaro.TabControl())) {
    EXPECT_NE(support::ClassNameOf(child), "#32770") << "a page is a child of the tab control";
  }
  EXPECT_EQ(tessaro.PageVisibility(), (std::vector<bool>{true, false, false, false}));
  EXPECT_TRUE(::IsWindowVisible(tessaro.TabControl()));
  EXPECT_TRUE(tessaro.OpenDialogs().empty());

  EXPECT_TRUE(tessaro.EndWithOk());
}

}  // namespace
