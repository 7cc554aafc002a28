// The monitor picker of the real Tessaro.exe on two monitors: the primary one 1280 x 1024 at
// 0, 0 and a 1024 x 768 one to its left at -1024, 0. Real clicks on the picker map the touch
// panel onto a monitor; the mapping reaches the driver and the settings key and comes back at
// the next start.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <optional>
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

using support::Bytes;
using support::DriverReceived;
using support::DwordValue;
using support::Int32s;
using support::Page;
using support::Sent;
using support::Stored;
using support::StoredNames;

constexpr int kSelectButton = 1048;
constexpr int kSetButton = 1038;
constexpr int kFivePointsButton = 1025;

constexpr RECT kVirtualDesktop{-1024, 0, 1280, 1024};
constexpr RECT kPrimaryMonitor{0, 0, 1280, 1024};
// The picker's client origin is the desktop's top-left corner, -1024, 0.
constexpr POINT kOnLeftMonitor{-1024 + 100, 100};
constexpr POINT kOnPrimaryMonitor{-1024 + 1124, 100};

const char* const kMappingValues[] = {
    "MultiMonitor",       "TouchMonitorOx",      "TouchMonitorOy",      "TouchMonitorWidth",
    "TouchMonitorHeight", "PrimaryMonitorWidth", "PrimaryMonitorHeight"};

class MonitorPicker : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(::GetSystemMetrics(SM_CMONITORS), 2) << "the rig has not two monitors";
    ASSERT_TRUE(support::DriverRunning() || support::StartDriver());
    ASSERT_TRUE(SetFailingCodes({}));
    ASSERT_TRUE(support::DeleteSettingsKey());
  }

  void TearDown() override {
    SetFailingCodes({});
    if (!HasFailure() && tessaro_->Running()) {
      EXPECT_TRUE(tessaro_->EndWithOk());
    }
  }

  void Start() {
    ASSERT_TRUE(tessaro_->Start());
    ClearDriverLog();
  }

  HWND Button(Page page, int id) const { return ::GetDlgItem(tessaro_->PageWindow(page), id); }

  // A visible caption-less pop-up of the program with exactly this window rectangle.
  HWND PopupCovering(const RECT& area) const {
    for (HWND window : tessaro_->VisibleWindows()) {
      RECT rect{};
      const LONG style = ::GetWindowLongA(window, GWL_STYLE);
      if (window != tessaro_->MainWindow() && (style & WS_POPUP) && !(style & WS_CAPTION) &&
          ::GetWindowRect(window, &rect) && ::EqualRect(&rect, &area)) {
        return window;
      }
    }
    return nullptr;
  }
  HWND Picker() const { return PopupCovering(kVirtualDesktop); }

  testing::AssertionResult ShowPicker() {
    testing::AssertionResult tab = tessaro_->ClickTab(Page::kAdvanced);
    if (!tab) return tab;
    testing::AssertionResult pressed =
        support::MouseClickWindow(Button(Page::kAdvanced, kSelectButton));
    if (!pressed) return pressed;
    if (support::WaitUntil([&] { return Picker() != nullptr; })) {
      return testing::AssertionSuccess();
    }
    return testing::AssertionFailure() << "no picker over -1024, 0, 2304 x 1024";
  }

  testing::AssertionResult WaitForPickerHidden() const {
    if (support::WaitUntil([&] { return Picker() == nullptr; })) {
      return testing::AssertionSuccess();
    }
    return testing::AssertionFailure() << "the picker is still shown";
  }

  // Starts a five-point calibration, takes the default points it sends, and cancels it.
  std::optional<Bytes> DefaultPointsOfACalibration() {
    if (!tessaro_->ClickTab(Page::kCalibrate)) return std::nullopt;
    ClearDriverLog();
    if (!support::MouseClickWindow(Button(Page::kCalibrate, kFivePointsButton))) {
      return std::nullopt;
    }
    std::optional<Bytes> points;
    support::WaitUntil([&] {
      std::vector<DriverRequest> log;
      ReadDriverLog(log);
      for (const DriverRequest& request : log) {
        if (request.code == display_test::kResetCalPts) points = request.input;
      }
      return points.has_value();
    });
    HWND screen = nullptr;
    support::WaitUntil([&] { return (screen = PopupCovering(kPrimaryMonitor)) != nullptr; });
    EXPECT_NE(screen, nullptr) << "no calibration screen";
    if (screen != nullptr) {
      EXPECT_TRUE(support::BringToForeground(screen));
      EXPECT_TRUE(support::PressKeys({VK_ESCAPE}));
      EXPECT_TRUE(support::WaitUntil([&] { return PopupCovering(kPrimaryMonitor) == nullptr; }));
    }
    ClearDriverLog();
    return points;
  }

  void Restart() {
    ASSERT_TRUE(tessaro_->EndWithOk());
    tessaro_ = std::make_unique<support::TessaroSession>();
    Start();
  }

  std::unique_ptr<support::TessaroSession> tessaro_ = std::make_unique<support::TessaroSession>();
};

TEST_F(MonitorPicker, AClickOnTheLeftMonitorMapsThePanelOntoIt) {
  tessaro_->TraceRegistryWrites();
  Start();
  ASSERT_TRUE(tessaro_->ClickTab(Page::kAdvanced));
  display_test::SaveScreenshotOf(tessaro_->PageWindow(Page::kAdvanced), "two-monitors-desktop");
  EXPECT_TRUE(::IsWindowEnabled(Button(Page::kAdvanced, kSelectButton)));
  ASSERT_TRUE(ShowPicker());
  display_test::SaveScreenshotOf(Picker(), "two-monitors-picker");

  ASSERT_TRUE(support::MouseClickAt(kOnLeftMonitor));
  EXPECT_TRUE(
      DriverReceived({{display_test::kMapping, Int32s({-1024, 0, 1024, 768, 1280, 1024})}}));
  EXPECT_TRUE(WaitForPickerHidden());
  support::WaitUntil([&] { return StoredNames().size() == 7; });
  const std::int32_t expected[] = {1, -1024, 0, 1024, 768, 1280, 1024};
  for (int i = 0; i < 7; ++i) {
    EXPECT_EQ(Stored(kMappingValues[i]), DwordValue(expected[i])) << kMappingValues[i];
  }
  const std::optional<support::RegistryValue> touchMonitorOx = Stored("TouchMonitorOx");
  ASSERT_TRUE(touchMonitorOx.has_value());
  EXPECT_EQ(touchMonitorOx->bytes, (Bytes{0x00, 0xFC, 0xFF, 0xFF}));
  // The settings written, in order; the system's own writes (time zone, device classes) aside.
  const std::vector<std::string> mappingValues(std::begin(kMappingValues),
                                               std::end(kMappingValues));
  std::vector<std::string> settingsWrites;
  for (const std::string& name : tessaro_->TracedRegistryWrites()) {
    if (name == "LTRB" || name == "CalType" || name == "Calibration" || name == "Rotation" ||
        std::find(mappingValues.begin(), mappingValues.end(), name) != mappingValues.end()) {
      settingsWrites.push_back(name);
    }
  }
  EXPECT_EQ(settingsWrites, mappingValues);
  ASSERT_TRUE(tessaro_->Settled());
  EXPECT_TRUE(tessaro_->OpenDialogs().empty());
}

TEST_F(MonitorPicker, AClickOnThePrimaryMonitorMapsItsOwnSizeTwice) {
  Start();
  ASSERT_TRUE(ShowPicker());
  ASSERT_TRUE(support::MouseClickAt(kOnPrimaryMonitor));
  EXPECT_TRUE(DriverReceived({{display_test::kMapping, Int32s({0, 0, 1280, 1024, 1280, 1024})}}));
  EXPECT_TRUE(WaitForPickerHidden());
  support::WaitUntil([&] { return StoredNames().size() == 7; });
  EXPECT_EQ(Stored("MultiMonitor"), DwordValue(1));
  EXPECT_EQ(Stored("TouchMonitorWidth"), DwordValue(1280));
}

TEST_F(MonitorPicker, ARefusedMappingSaysSoAndStoresNothing) {
  Start();
  ASSERT_TRUE(SetFailingCodes({display_test::kMapping}));
  ASSERT_TRUE(ShowPicker());
  ASSERT_TRUE(support::MouseClickAt(kOnLeftMonitor));
  EXPECT_TRUE(tessaro_->AnswerMessageBox("IOCTL_MAPPING falied"));
  EXPECT_TRUE(WaitForPickerHidden());
  ASSERT_TRUE(tessaro_->Settled());
  EXPECT_TRUE(StoredNames().empty());
}

TEST_F(MonitorPicker, EscapeHidesThePickerWithNothingSent) {
  Start();
  ASSERT_TRUE(ShowPicker());
  ASSERT_TRUE(support::BringToForeground(Picker()));
  ASSERT_TRUE(support::PressKeys({VK_ESCAPE}));
  EXPECT_TRUE(WaitForPickerHidden());
  ASSERT_TRUE(tessaro_->Settled());
  EXPECT_TRUE(support::TakeSent().empty());
  EXPECT_TRUE(StoredNames().empty());
}

TEST_F(MonitorPicker, TheStoredTouchMonitorIsBackAfterARestartUntilSet) {
  Start();
  const std::optional<Bytes> onPrimary = DefaultPointsOfACalibration();
  ASSERT_TRUE(onPrimary.has_value());

  ASSERT_TRUE(ShowPicker());
  ASSERT_TRUE(support::MouseClickAt(kOnLeftMonitor));
  ASSERT_TRUE(WaitForPickerHidden());
  ASSERT_TRUE(support::WaitUntil([&] { return StoredNames().size() == 7; }));
  const std::optional<Bytes> onLeft = DefaultPointsOfACalibration();
  ASSERT_TRUE(onLeft.has_value());
  EXPECT_NE(*onLeft, *onPrimary);

  Restart();
  EXPECT_EQ(DefaultPointsOfACalibration(), onLeft) << "after a restart";

  ASSERT_TRUE(tessaro_->ClickTab(Page::kAdvanced));
  ASSERT_TRUE(support::MouseClickWindow(Button(Page::kAdvanced, kSetButton)));
  ASSERT_TRUE(support::WaitUntil([&] { return Stored("MultiMonitor") == DwordValue(0); }));
  Restart();
  EXPECT_EQ(DefaultPointsOfACalibration(), onPrimary) << "after Set and a restart";
}

TEST_F(MonitorPicker, ARefusedSetStillPutsTheTouchMonitorBack) {
  Start();
  const std::optional<Bytes> onPrimary = DefaultPointsOfACalibration();
  ASSERT_TRUE(onPrimary.has_value());
  ASSERT_TRUE(ShowPicker());
  ASSERT_TRUE(support::MouseClickAt(kOnLeftMonitor));
  ASSERT_TRUE(WaitForPickerHidden());
  ASSERT_TRUE(support::WaitUntil([&] { return StoredNames().size() == 7; }));

  ASSERT_TRUE(SetFailingCodes({display_test::kSingleMonitor}));
  ASSERT_TRUE(support::MouseClickWindow(Button(Page::kAdvanced, kSetButton)));
  EXPECT_TRUE(tessaro_->AnswerMessageBox("IOCTL_SINGLE_MONITOR falied"));
  ASSERT_TRUE(SetFailingCodes({}));
  EXPECT_EQ(DefaultPointsOfACalibration(), onPrimary);
  EXPECT_EQ(Stored("MultiMonitor"), DwordValue(1));
}

}  // namespace
