// The Advanced page of the real Tessaro.exe on one monitor: "Select" is off, "Set", "LTRB" and
// "BRTL" each send their request and store their value once the driver took it.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "display_checks.h"
#include "driver_double_client.h"
#include "driver_log.h"
#include "driver_service.h"
#include "registry.h"
#include "screenshot.h"
#include "settings.h"
#include "tessaro_session.h"
#include "ui.h"
#include "wait.h"

namespace {

using support::DriverReceived;
using support::DwordValue;
using support::Page;
using support::Sent;
using support::StoredNames;
using support::WaitForStored;

constexpr int kSelectButton = 1048;
constexpr int kSetButton = 1038;
constexpr int kLtrbButton = 1039;
constexpr int kBrtlButton = 1040;

class AdvancedPage : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(support::DriverRunning() || support::StartDriver());
    ASSERT_TRUE(SetFailingCodes({}));
    ASSERT_TRUE(support::DeleteSettingsKey());
  }

  void TearDown() override {
    SetFailingCodes({});
    if (!HasFailure() && tessaro_.Running()) {
      EXPECT_TRUE(tessaro_.EndWithOk());
    }
  }

  // Starts the utility, answering the Info page's "Driver not loaded!" when the driver is
  // away, and opens the Advanced tab.
  void StartOnAdvancedPage(bool driverAbsent = false) {
    ASSERT_TRUE(tessaro_.Launch());
    if (driverAbsent) {
      ASSERT_TRUE(tessaro_.AnswerMessageBox("Driver not loaded!"));
    }
    ASSERT_TRUE(tessaro_.WaitForMainWindow());
    ASSERT_TRUE(tessaro_.ClickTab(Page::kAdvanced));
    ClearDriverLog();
  }

  HWND Button(int id) const { return ::GetDlgItem(tessaro_.PageWindow(Page::kAdvanced), id); }

  testing::AssertionResult Press(int id) const { return support::MouseClickWindow(Button(id)); }

  support::TessaroSession tessaro_;
};

TEST_F(AdvancedPage, OnOneMonitorSelectIsOffAndSetStoresSingleMonitor) {
  StartOnAdvancedPage();
  display_test::SaveScreenshotOf(tessaro_.PageWindow(Page::kAdvanced), "advanced-page");
  const std::vector<std::string> buttons = {
      support::WindowText(Button(kSelectButton)), support::WindowText(Button(kSetButton)),
      support::WindowText(Button(kLtrbButton)), support::WindowText(Button(kBrtlButton))};
  EXPECT_EQ(buttons, (std::vector<std::string>{"Select", "Set", "LTRB", "BRTL"}));
  EXPECT_FALSE(::IsWindowEnabled(Button(kSelectButton)));
  ASSERT_TRUE(Press(kSelectButton));

  ASSERT_TRUE(Press(kSetButton));
  EXPECT_TRUE(DriverReceived({{display_test::kSingleMonitor, {}}}));
  EXPECT_TRUE(WaitForStored("MultiMonitor", DwordValue(0)));
  EXPECT_EQ(StoredNames(), std::vector<std::string>{"MultiMonitor"});
  ASSERT_TRUE(tessaro_.Settled());
  EXPECT_TRUE(tessaro_.OpenDialogs().empty());
}

TEST_F(AdvancedPage, LtrbThenBrtlLeavesBrtlStored) {
  StartOnAdvancedPage();
  ASSERT_TRUE(Press(kLtrbButton));
  EXPECT_TRUE(DriverReceived({{display_test::kCableConnection, {1}}}));
  EXPECT_TRUE(WaitForStored("LTRB", DwordValue(1)));
  ASSERT_TRUE(Press(kBrtlButton));
  EXPECT_TRUE(DriverReceived({{display_test::kCableConnection, {0}}}));
  EXPECT_TRUE(WaitForStored("LTRB", DwordValue(0)));
  EXPECT_EQ(StoredNames(), std::vector<std::string>{"LTRB"});
}

struct Refusal {
  int button;
  std::uint32_t code;
  const char* text;
};
const Refusal kRefusals[] = {
    {kSetButton, display_test::kSingleMonitor, "IOCTL_SINGLE_MONITOR falied"},
    {kLtrbButton, display_test::kCableConnection, "IOCTL_CABLE_CONNECTION falied"},
    {kBrtlButton, display_test::kCableConnection, "TOUSCR_IOCTL_CABLE_CONNECTION falied"},
};

TEST_F(AdvancedPage, ARefusedRequestShowsItsOwnTextAndStoresNothing) {
  StartOnAdvancedPage();
  for (const Refusal& refusal : kRefusals) {
    SCOPED_TRACE(refusal.text);
    ASSERT_TRUE(SetFailingCodes({refusal.code}));
    ASSERT_TRUE(Press(refusal.button));
    EXPECT_TRUE(tessaro_.AnswerMessageBox(refusal.text));
    ASSERT_TRUE(tessaro_.Settled());
    EXPECT_TRUE(StoredNames().empty());
  }
}

TEST_F(AdvancedPage, WithoutTheDriverEachButtonSaysSoAndThenItsOwnText) {
  support::DriverAbsent absent;
  ASSERT_TRUE(absent.Stopped());
  StartOnAdvancedPage(true);
  for (const Refusal& refusal : kRefusals) {
    SCOPED_TRACE(refusal.text);
    ASSERT_TRUE(Press(refusal.button));
    EXPECT_TRUE(tessaro_.AnswerMessageBox("Driver not loaded!"));
    EXPECT_TRUE(tessaro_.AnswerMessageBox(refusal.text));
    ASSERT_TRUE(tessaro_.Settled());
    EXPECT_TRUE(StoredNames().empty());
  }
  EXPECT_TRUE(tessaro_.EndWithOk());
}

}  // namespace
