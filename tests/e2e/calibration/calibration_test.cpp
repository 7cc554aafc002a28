// Calibration from the Calibrate page, end to end: the real Tessaro.exe, real mouse and keyboard
// input on the full-screen calibration window, the driver double's record of what it received,
// and the settings key as the registry holds it.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <vector>

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

using support::Binary;
using support::Bytes;
using support::Concat;
using support::DriverReceived;
using support::Dword;
using support::DwordValue;
using support::RegistryValue;
using support::Sent;
using support::Store;
using support::Stored;
using support::StoredNames;
using support::TakeSent;
using support::WaitForStoredCount;
using support::Words;

// The driver's control codes, spelled out here so that a wrong code in the utility shows.
constexpr std::uint32_t kSetCal = 0x220028;
constexpr std::uint32_t kSetCal5Pt = 0x22002c;
constexpr std::uint32_t kResetCalCoeff = 0x220050;
constexpr std::uint32_t kResetCalPts = 0x220054;
constexpr std::uint32_t kCableConnection = 0x2201b8;
constexpr std::uint32_t kPanelRotation = 0x2201e0;
constexpr std::uint32_t kSetCalType = 0x220208;

constexpr int kInitialStateButton = 1013;
constexpr int kTwoPointsButton = 1002;
constexpr int kFivePointsButton = 1025;
constexpr int kModifyButton = 3;
constexpr int kModifyText = 1053;

// On the 1024 x 768 rig screen: the default points, and the neutral linear record.
const Bytes kDefaultPoints = Words({16384, 16384, 640, 853, 32128, 853, 32128, 31914, 640, 31914});
const Bytes kNeutralRecord = {0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0};

// With nothing stored yet, a cancel sends back the neutral two-point calibration with LTRB.
const std::vector<Sent> kFirstUseRestore = {
    {kSetCalType, {1}}, {kSetCal, kNeutralRecord}, {kCableConnection, {1}}};

constexpr POINT kTwoPointTargets[] = {{20, 20}, {1004, 748}};
constexpr POINT kFivePointTargets[] = {{512, 384}, {20, 20}, {1004, 20}, {1004, 748}, {20, 748}};

constexpr RECT kScreenRect{0, 0, 1024, 768};

class Calibration : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(support::DriverRunning() || support::StartDriver());
    ASSERT_TRUE(SetFailingCodes({}));
    ASSERT_TRUE(support::DeleteSettingsKey());
  }

  void TearDown() override {
    SetFailingCodes({});
    // Whatever a test did, the program still ends normally with its OK button.
    if (!HasFailure() && session_.Running()) {
      EXPECT_TRUE(session_.EndWithOk());
    }
  }

  void StartTessaro() {
    ASSERT_TRUE(session_.Start());
    ASSERT_TRUE(ClearDriverLog());
  }

  // The settings the program wrote, in order (the session must trace registry writes).
  std::vector<std::string> SettingsWrites() const {
    std::vector<std::string> writes;
    for (const std::string& name : session_.TracedRegistryWrites()) {
      if (name == "CalType" || name == "Calibration" || name == "LTRB" || name == "Rotation") {
        writes.push_back(name);
      }
    }
    return writes;
  }

  HWND PageButton(int id) const {
    return ::GetDlgItem(session_.PageWindow(support::Page::kCalibrate), id);
  }

  // The calibration screen: the process's visible dialog without caption or frame.
  HWND Screen() const {
    for (HWND window : session_.VisibleWindows()) {
      const LONG style = ::GetWindowLongA(window, GWL_STYLE);
      if (window != session_.MainWindow() && support::ClassNameOf(window) == "#32770" &&
          (style & WS_POPUP) && !(style & WS_CAPTION)) {
        return window;
      }
    }
    return nullptr;
  }

  testing::AssertionResult WaitForScreen() const {
    RECT rect{};
    const bool shown = support::WaitUntil([&] {
      HWND screen = Screen();
      return screen != nullptr && ::GetWindowRect(screen, &rect) &&
             ::EqualRect(&rect, &kScreenRect);
    });
    if (shown) return testing::AssertionSuccess();
    return testing::AssertionFailure() << "the calibration screen did not cover the monitor";
  }

  testing::AssertionResult WaitForScreenHidden() const {
    if (support::WaitUntil([&] { return Screen() == nullptr; })) return testing::AssertionSuccess();
    return testing::AssertionFailure() << "the calibration screen is still shown";
  }

  // Centres of the visible target images, in screen coordinates.
  std::vector<POINT> VisibleTargets() const {
    std::vector<POINT> centres;
    HWND screen = Screen();
    if (screen == nullptr) return centres;
    for (HWND child : support::ChildWindows(screen)) {
      RECT rect{};
      if (::IsWindowVisible(child) && ::GetWindowRect(child, &rect)) {
        centres.push_back({(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2});
      }
    }
    return centres;
  }

  // Whether the program shows that it took a point since `targetsBefore` targets were visible:
  // the next target, or after the last one the check dialog, a message box or the screen gone.
  bool PointTaken(std::size_t targetsBefore) const {
    return Screen() == nullptr || VisibleTargets().size() > targetsBefore ||
           FindDialog("Vantora").has_value() || !session_.MessageBoxes().empty();
  }

  // Presses at a point and keeps the touch still until the program shows that it took the
  // point, then releases, however many hold-timer ticks that took on a loaded machine. Each
  // button event carries its position, so a late report of an earlier pointer position cannot
  // move the press.
  testing::AssertionResult Hold(POINT point) {
    const std::size_t before = VisibleTargets().size();
    testing::AssertionResult down = support::MouseDownAt(point);
    if (!down) return down;
    const bool taken = support::WaitUntil([&] { return PointTaken(before); });
    testing::AssertionResult up = support::MouseUpAt(point);
    if (!taken) {
      return testing::AssertionFailure()
             << "the point at " << point.x << "," << point.y << " was not taken";
    }
    return up;
  }

  // Holds each point in turn; each is taken before the next press.
  testing::AssertionResult TouchPoints(std::initializer_list<POINT> points) {
    for (POINT point : points) {
      testing::AssertionResult held = Hold(point);
      if (!held) return held;
    }
    return testing::AssertionSuccess();
  }

  std::optional<support::DialogSeen> FindDialog(const std::string& caption) const {
    for (const support::DialogSeen& dialog : session_.OpenDialogs()) {
      if (dialog.window != session_.MainWindow() && dialog.caption == caption) return dialog;
    }
    return std::nullopt;
  }

  testing::AssertionResult WaitForCheckDialog(support::DialogSeen* dialog) const {
    std::optional<support::DialogSeen> found;
    if (!support::WaitUntil([&] { return (found = FindDialog("Vantora")).has_value(); })) {
      return testing::AssertionFailure() << "the check dialog did not open";
    }
    *dialog = *found;
    return testing::AssertionSuccess();
  }

  // Waits for the next message box, checks its text and answers it with OK.
  testing::AssertionResult ExpectMessage(const std::string& text) {
    return session_.AnswerMessageBox(text);
  }

  testing::AssertionResult Press(int button) const {
    if (support::ClickButton(PageButton(button))) return testing::AssertionSuccess();
    return testing::AssertionFailure() << "button " << button << " could not be clicked";
  }

  // Waits until exactly the first target shows there. A start hides every image before it shows
  // the first one, so a count of visible images alone can pass through 1 on the way.
  testing::AssertionResult WaitForFirstTarget(POINT first) const {
    if (support::WaitUntil([&] {
          const std::vector<POINT> targets = VisibleTargets();
          return targets.size() == 1 && targets[0].x == first.x && targets[0].y == first.y;
        })) {
      return testing::AssertionSuccess();
    }
    return testing::AssertionFailure()
           << "the screen does not show its first target alone at " << first.x << "," << first.y;
  }

  // 2-Points or 5-Points, until the screen shows its first target.
  void StartCalibration(int button, POINT first) {
    ASSERT_TRUE(Press(button));
    ASSERT_TRUE(WaitForScreen());
    ASSERT_TRUE(WaitForFirstTarget(first));
    // The screen of an earlier calibration may show its first target before the new start has
    // sent its reset: the start is done when the program answers.
    ASSERT_TRUE(session_.Settled());
  }
  void StartFivePoints() { StartCalibration(kFivePointsButton, kFivePointTargets[0]); }
  void StartTwoPoints() { StartCalibration(kTwoPointsButton, kTwoPointTargets[0]); }

  support::TessaroSession session_;
};

TEST_F(Calibration, FivePointsSendsTheResetTheRecordAndStoresItOnOk) {
  session_.TraceRegistryWrites();
  StartTessaro();
  StartFivePoints();
  EXPECT_TRUE(DriverReceived((std::vector<Sent>{
      {kSetCalType, {3}}, {kResetCalPts, kDefaultPoints}, {kCableConnection, {1}}})));
  ASSERT_EQ(VisibleTargets().size(), 1u);
  EXPECT_EQ(VisibleTargets()[0].x, 512);
  EXPECT_EQ(VisibleTargets()[0].y, 384);
  support::SaveScreenshot(support::ScreenshotPath("calibration-screen"));

  ASSERT_TRUE(TouchPoints({kFivePointTargets[0], kFivePointTargets[1], kFivePointTargets[2],
                           kFivePointTargets[3], kFivePointTargets[4]}));
  // Touches on the targets: the measured words equal the target words.
  const Bytes record = Concat({kDefaultPoints, kDefaultPoints});
  EXPECT_TRUE(DriverReceived((std::vector<Sent>{
      {kCableConnection, {1}}, {kPanelRotation, Dword(0)}, {kSetCal5Pt, record}})));

  support::DialogSeen check;
  ASSERT_TRUE(WaitForCheckDialog(&check));
  support::SaveScreenshot(support::ScreenshotPath("calibration-check-dialog"));
  EXPECT_FALSE(::IsWindowVisible(::GetDlgItem(check.window, kModifyButton)));
  EXPECT_FALSE(::IsWindowVisible(::GetDlgItem(check.window, kModifyText)));
  EXPECT_TRUE(::IsWindowVisible(::GetDlgItem(check.window, IDCANCEL)));
  EXPECT_FALSE(Stored("CalType").has_value()) << "nothing is stored before OK";

  ASSERT_TRUE(session_.AnswerDialog(check, IDOK));
  ASSERT_TRUE(WaitForScreenHidden());
  WaitForStoredCount(4);
  EXPECT_EQ(Stored("CalType"), DwordValue(3));
  EXPECT_EQ(Stored("Calibration"), Binary(record));
  EXPECT_EQ(Stored("LTRB"), DwordValue(1));
  EXPECT_EQ(Stored("Rotation"), DwordValue(0));
  EXPECT_EQ(StoredNames().size(), 4u);
  EXPECT_EQ(SettingsWrites(),
            (std::vector<std::string>{"CalType", "Calibration", "LTRB", "Rotation"}));
  EXPECT_TRUE(TakeSent().empty());
}

// Touches where a mirrored panel reports the targets: the orientation and the reflected
// measured points reach the driver. Two calibrations in a row also show that the second one
// starts with only its first target.
TEST_F(Calibration, MirroredTouchesGiveTheirOrientation) {
  struct Case {
    const char* name;
    POINT touches[5];
    std::uint32_t rotation;
    Bytes measured;
  };
  const Case cases[] = {
      {"x mirrored",
       {{512, 384}, {1004, 20}, {20, 20}, {20, 748}, {1004, 748}},
       90,
       Words({16383, 16383, 31913, 639, 31913, 32127, 852, 32127, 852, 639})},
      {"y mirrored",
       {{512, 384}, {20, 748}, {1004, 748}, {1004, 20}, {20, 20}},
       270,
       Words({16383, 16383, 852, 32127, 852, 639, 31913, 639, 31913, 32127})},
  };
  StartTessaro();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    StartFivePoints();
    TakeSent();
    ASSERT_TRUE(
        TouchPoints({c.touches[0], c.touches[1], c.touches[2], c.touches[3], c.touches[4]}));
    EXPECT_TRUE(
        DriverReceived((std::vector<Sent>{{kCableConnection, {0}},
                                          {kPanelRotation, Dword(c.rotation)},
                                          {kSetCal5Pt, Concat({kDefaultPoints, c.measured})}})));
    support::DialogSeen check;
    ASSERT_TRUE(WaitForCheckDialog(&check));
    ASSERT_TRUE(session_.AnswerDialog(check, IDOK));
    ASSERT_TRUE(WaitForScreenHidden());
    support::WaitUntil([&] { return Stored("Rotation") == DwordValue(c.rotation); });
    EXPECT_EQ(Stored("LTRB"), DwordValue(0));
    EXPECT_EQ(Stored("Rotation"), DwordValue(c.rotation));
  }
}

// Cancel in the check dialog and ESC on the screen both send the snapshot taken at the start
// back, in the order type, record, cable connection, rotation, and store nothing.
TEST_F(Calibration, CancelAndEscapeRestoreTheStoredCalibration) {
  Bytes previous;
  for (std::uint8_t i = 0; i < 40; ++i) previous.push_back(static_cast<std::uint8_t>(0xA0 + i));
  Store("CalType", DwordValue(3));
  Store("Calibration", Binary(previous));
  Store("LTRB", DwordValue(0));
  Store("Rotation", DwordValue(90));
  const std::vector<Sent> restore = {{kSetCalType, {3}},
                                     {kSetCal5Pt, previous},
                                     {kCableConnection, {0}},
                                     {kPanelRotation, Dword(90)}};
  StartTessaro();

  StartFivePoints();
  ASSERT_TRUE(TouchPoints({kFivePointTargets[0], kFivePointTargets[1], kFivePointTargets[2],
                           kFivePointTargets[3], kFivePointTargets[4]}));
  support::DialogSeen check;
  ASSERT_TRUE(WaitForCheckDialog(&check));
  TakeSent();
  ASSERT_TRUE(session_.AnswerDialog(check, IDCANCEL));
  ASSERT_TRUE(WaitForScreenHidden());
  EXPECT_TRUE(DriverReceived(restore)) << "Cancel";

  StartFivePoints();
  ASSERT_TRUE(TouchPoints({kFivePointTargets[0], kFivePointTargets[1]}));
  TakeSent();
  ASSERT_TRUE(support::PressKeys({VK_ESCAPE}));
  ASSERT_TRUE(WaitForScreenHidden());
  EXPECT_TRUE(DriverReceived(restore)) << "ESC";

  EXPECT_EQ(Stored("CalType"), DwordValue(3));
  EXPECT_EQ(Stored("Calibration"), Binary(previous));
  EXPECT_EQ(Stored("LTRB"), DwordValue(0));
  EXPECT_EQ(Stored("Rotation"), DwordValue(90));
  EXPECT_EQ(StoredNames().size(), 4u);
}

TEST_F(Calibration, TwoPointsOkStoresCalTypeAndCalibrationOnly) {
  StartTessaro();
  StartTwoPoints();
  EXPECT_TRUE(DriverReceived((std::vector<Sent>{{kSetCalType, {1}}, {kResetCalCoeff, {}}})));
  ASSERT_EQ(VisibleTargets().size(), 1u);
  EXPECT_EQ(VisibleTargets()[0].x, 20);
  EXPECT_EQ(VisibleTargets()[0].y, 20);

  ASSERT_TRUE(TouchPoints({kTwoPointTargets[0], kTwoPointTargets[1]}));
  EXPECT_TRUE(DriverReceived((std::vector<Sent>{{kSetCal, kNeutralRecord}})));
  support::DialogSeen check;
  ASSERT_TRUE(WaitForCheckDialog(&check));
  EXPECT_TRUE(::IsWindowVisible(::GetDlgItem(check.window, kModifyButton)));
  EXPECT_TRUE(::IsWindowVisible(::GetDlgItem(check.window, kModifyText)));
  ASSERT_TRUE(session_.AnswerDialog(check, IDOK));
  ASSERT_TRUE(WaitForScreenHidden());
  WaitForStoredCount(2);
  EXPECT_EQ(StoredNames(), (std::vector<std::string>{"Calibration", "CalType"}));
  EXPECT_EQ(Stored("CalType"), DwordValue(1));
  EXPECT_EQ(Stored("Calibration"), Binary(kNeutralRecord));
}

// Modify after a two-point calibration: the stored connection inverted, the axes exchanged and
// reversed, stored without a second check. Twice, from LTRB 1 and then from LTRB 0.
TEST_F(Calibration, TwoPointsModifyInvertsTheConnectionAndStoresTheMirroredRecord) {
  // Touches on the targets, mirrored: a_x -1.01374, b_x 32993.05; a_y -0.98645, b_y 32545.99.
  const Bytes modified = {0x01, 0x01, 0x01, 0x00, 0x84, 0x03, 0xe1, 0x80, 0x00,
                          0x00, 0x00, 0x00, 0x87, 0xfc, 0x21, 0x7f, 0x00, 0x00};
  Store("LTRB", DwordValue(1));
  session_.TraceRegistryWrites();
  StartTessaro();
  for (const std::uint8_t connection : {std::uint8_t{0}, std::uint8_t{1}}) {
    SCOPED_TRACE(connection == 0 ? "from LTRB 1" : "from LTRB 0");
    StartTwoPoints();
    ASSERT_TRUE(TouchPoints({kTwoPointTargets[0], kTwoPointTargets[1]}));
    support::DialogSeen check;
    ASSERT_TRUE(WaitForCheckDialog(&check));
    TakeSent();
    ASSERT_TRUE(session_.AnswerDialog(check, kModifyButton));
    ASSERT_TRUE(WaitForScreenHidden());
    EXPECT_TRUE(
        DriverReceived((std::vector<Sent>{{kCableConnection, {connection}}, {kSetCal, modified}})));
    // LTRB is the last value Modify stores.
    support::WaitUntil([&] { return Stored("LTRB") == DwordValue(connection); });
    EXPECT_EQ(Stored("CalType"), DwordValue(1));
    EXPECT_EQ(Stored("Calibration"), Binary(modified));
    EXPECT_EQ(Stored("LTRB"), DwordValue(connection));
    EXPECT_FALSE(Stored("Rotation").has_value());
  }
  const std::vector<std::string> once = {"CalType", "Calibration", "LTRB"};
  std::vector<std::string> twice = once;
  twice.insert(twice.end(), once.begin(), once.end());
  EXPECT_EQ(SettingsWrites(), twice);
}

TEST_F(Calibration, AShortPressLeavesNoPointAndAStillHoldAnywhereCounts) {
  StartTessaro();
  StartTwoPoints();
  // Press and release in one input call: no hold-timer tick can come between them.
  ASSERT_TRUE(support::MouseTapAt(kTwoPointTargets[0]));

  // Far from the blue target, still taken for it; and taken as the first point, so the press
  // before it took none.
  ASSERT_TRUE(Hold({600, 300}));
  EXPECT_EQ(VisibleTargets().size(), 2u) << "a press shorter than five samples took a point";
  EXPECT_FALSE(FindDialog("Vantora").has_value());
  ASSERT_GE(VisibleTargets().size(), 2u);
  EXPECT_EQ(VisibleTargets()[1].x, 1004);
  EXPECT_EQ(VisibleTargets()[1].y, 748);
  ASSERT_TRUE(support::PressKeys({VK_ESCAPE}));
  ASSERT_TRUE(WaitForScreenHidden());
}

TEST_F(Calibration, OnlyEscapeActsOnTheScreen) {
  StartTessaro();
  StartTwoPoints();
  ASSERT_TRUE(TouchPoints({kTwoPointTargets[0]}));
  TakeSent();
  for (std::initializer_list<WORD> keys :
       {std::initializer_list<WORD>{'A'}, {VK_RETURN}, {VK_SPACE}, {VK_MENU, VK_F4}}) {
    ASSERT_TRUE(support::PressKeys(keys));
  }
  // The program has handled the keys before the answer comes back.
  ASSERT_TRUE(session_.Settled());
  EXPECT_TRUE(WaitForScreen());
  EXPECT_EQ(VisibleTargets().size(), 2u);
  EXPECT_TRUE(session_.NoMessageBox());
  EXPECT_TRUE(TakeSent().empty());
  EXPECT_TRUE(session_.Running());

  ASSERT_TRUE(support::PressKeys({VK_ESCAPE}));
  ASSERT_TRUE(WaitForScreenHidden());
  EXPECT_TRUE(DriverReceived(kFirstUseRestore));
  ASSERT_TRUE(session_.Settled());
  EXPECT_FALSE(support::KeyExists(HKEY_LOCAL_MACHINE, support::kSettingsKey));
}

TEST_F(Calibration, InitialStateResetsAndStoresByTheStoredType) {
  struct Case {
    std::uint32_t calType;
    std::vector<Sent> sent;
    Bytes stored;
  };
  const Case cases[] = {
      {1, {{kSetCalType, {1}}, {kResetCalCoeff, {}}}, kNeutralRecord},
      {2, {{kSetCalType, {2}}, {kResetCalCoeff, {}}, {kCableConnection, {1}}}, kNeutralRecord},
      {3,
       {{kSetCalType, {3}}, {kResetCalPts, kDefaultPoints}, {kCableConnection, {1}}},
       Concat({kDefaultPoints, kDefaultPoints})},
  };
  StartTessaro();
  for (const Case& c : cases) {
    SCOPED_TRACE("CalType " + std::to_string(c.calType));
    ASSERT_TRUE(support::DeleteSettingsKey());
    Store("CalType", DwordValue(c.calType));
    ASSERT_TRUE(Press(kInitialStateButton));
    ASSERT_TRUE(support::WaitUntil([&] { return Stored("Calibration").has_value(); }));
    ASSERT_TRUE(session_.Settled());
    EXPECT_TRUE(DriverReceived(c.sent));
    EXPECT_EQ(Stored("Calibration"), Binary(c.stored));
    EXPECT_EQ(StoredNames(), (std::vector<std::string>{"Calibration", "CalType"}));
    EXPECT_EQ(Stored("CalType"), DwordValue(c.calType));
    EXPECT_EQ(Screen(), nullptr);
  }
}

TEST_F(Calibration, InitialStateWithoutCalTypeUsesTheCurrentType) {
  StartTessaro();
  ASSERT_TRUE(Press(kInitialStateButton));
  ASSERT_TRUE(support::WaitUntil([&] { return Stored("Calibration").has_value(); }));
  ASSERT_TRUE(session_.Settled());
  EXPECT_TRUE(DriverReceived((std::vector<Sent>{{kSetCalType, {1}}, {kResetCalCoeff, {}}})));
  EXPECT_EQ(StoredNames(), (std::vector<std::string>{"Calibration"}));
  EXPECT_EQ(Stored("Calibration"), Binary(kNeutralRecord));
}

TEST_F(Calibration, WithoutTheDriverTheScreenStillShowsItsFirstTarget) {
  StartTessaro();
  support::DriverAbsent absent;
  ASSERT_TRUE(absent.Stopped());
  ASSERT_TRUE(Press(kTwoPointsButton));
  ASSERT_TRUE(ExpectMessage("Driver not loaded!"));
  ASSERT_TRUE(ExpectMessage("IOCTL_SET_CAL_TYPE failed"));
  ASSERT_TRUE(WaitForScreen());
  ASSERT_TRUE(WaitForFirstTarget(kTwoPointTargets[0]));
  EXPECT_EQ(VisibleTargets()[0].x, 20);

  ASSERT_TRUE(support::PressKeys({VK_ESCAPE}));
  // The restore finds no driver either.
  ASSERT_TRUE(ExpectMessage("Driver not loaded!"));
  ASSERT_TRUE(ExpectMessage("IOCTL_SET_CAL_TYPE failed"));
  ASSERT_TRUE(WaitForScreenHidden());
  ASSERT_TRUE(session_.Settled());
  EXPECT_FALSE(support::KeyExists(HKEY_LOCAL_MACHINE, support::kSettingsKey));
}

TEST_F(Calibration, ARecordTheDriverRefusesIsNotStored) {
  StartTessaro();
  ASSERT_TRUE(SetFailingCodes({kSetCal}));
  StartTwoPoints();
  ASSERT_TRUE(TouchPoints({kTwoPointTargets[0], kTwoPointTargets[1]}));
  ASSERT_TRUE(ExpectMessage("IOCTL_SET_CAL failed"));
  ASSERT_TRUE(session_.Settled());
  EXPECT_FALSE(FindDialog("Vantora").has_value());
  EXPECT_TRUE(WaitForScreen()) << "the screen stays up for ESC";
  EXPECT_FALSE(support::KeyExists(HKEY_LOCAL_MACHINE, support::kSettingsKey));

  ASSERT_TRUE(SetFailingCodes({}));
  TakeSent();
  ASSERT_TRUE(support::PressKeys({VK_ESCAPE}));
  ASSERT_TRUE(WaitForScreenHidden());
  EXPECT_TRUE(DriverReceived(kFirstUseRestore));
  ASSERT_TRUE(session_.Settled());
  EXPECT_FALSE(support::KeyExists(HKEY_LOCAL_MACHINE, support::kSettingsKey));
}

TEST_F(Calibration, CoincidingTouchesSendNothingComputed) {
  StartTessaro();
  StartTwoPoints();
  ASSERT_TRUE(Hold({500, 400}));
  TakeSent();
  ASSERT_TRUE(Hold({500, 400}));
  ASSERT_TRUE(ExpectMessage("Calibration failed: the touched points coincide"));
  ASSERT_TRUE(WaitForScreenHidden());
  EXPECT_TRUE(DriverReceived(kFirstUseRestore));
  ASSERT_TRUE(session_.Settled());
  EXPECT_FALSE(FindDialog("Vantora").has_value());
  EXPECT_FALSE(support::KeyExists(HKEY_LOCAL_MACHINE, support::kSettingsKey));
}

// A refused reset shows its own message (spelled as the program spells it) and the screen still
// shows its first target; a coefficient reset that fails does not stop the reset.
TEST_F(Calibration, ARefusedResetShowsItsMessageAndTheFirstTargetStillShows) {
  struct Case {
    int button;
    std::uint32_t refused;
    const char* message;
    std::vector<Sent> sent;
  };
  const Case cases[] = {
      {kTwoPointsButton,
       kResetCalCoeff,
       "IOCTL_RESET_CAL_COEFF falied",
       {{kSetCalType, {1}}, {kResetCalCoeff, {}}}},
      {kFivePointsButton,
       kResetCalPts,
       "IOCTL_RESET_CAL_PTS falied",
       {{kSetCalType, {3}}, {kResetCalPts, kDefaultPoints}}},
      {kFivePointsButton,
       kCableConnection,
       "IOCTL_CABLE_CONNECTION failed",
       {{kSetCalType, {3}}, {kResetCalPts, kDefaultPoints}, {kCableConnection, {1}}}},
      {kTwoPointsButton, kSetCalType, "IOCTL_SET_CAL_TYPE failed", {{kSetCalType, {1}}}},
  };
  StartTessaro();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.message);
    ASSERT_TRUE(SetFailingCodes({c.refused}));
    ASSERT_TRUE(Press(c.button));
    ASSERT_TRUE(ExpectMessage(c.message));
    ASSERT_TRUE(WaitForScreen());
    ASSERT_TRUE(WaitForFirstTarget(c.button == kTwoPointsButton ? kTwoPointTargets[0]
                                                                : kFivePointTargets[0]));
    EXPECT_TRUE(session_.NoMessageBox());
    EXPECT_TRUE(DriverReceived(c.sent));
    ASSERT_TRUE(SetFailingCodes({}));
    ASSERT_TRUE(support::PressKeys({VK_ESCAPE}));
    ASSERT_TRUE(WaitForScreenHidden());
    EXPECT_TRUE(DriverReceived(kFirstUseRestore));
  }
}

TEST_F(Calibration, ARefusedRotationAtCompletionStopsBeforeTheRecord) {
  StartTessaro();
  StartFivePoints();
  ASSERT_TRUE(SetFailingCodes({kPanelRotation}));
  TakeSent();
  ASSERT_TRUE(TouchPoints({kFivePointTargets[0], kFivePointTargets[1], kFivePointTargets[2],
                           kFivePointTargets[3], kFivePointTargets[4]}));
  ASSERT_TRUE(ExpectMessage("IOCTL_PANEL_ROTATION failed"));
  ASSERT_TRUE(session_.Settled());
  EXPECT_FALSE(FindDialog("Vantora").has_value());
  EXPECT_TRUE(
      DriverReceived((std::vector<Sent>{{kCableConnection, {1}}, {kPanelRotation, Dword(0)}})));
  EXPECT_TRUE(WaitForScreen());
  ASSERT_TRUE(SetFailingCodes({}));
  ASSERT_TRUE(support::PressKeys({VK_ESCAPE}));
  ASSERT_TRUE(WaitForScreenHidden());
  ASSERT_TRUE(session_.Settled());
  EXPECT_FALSE(support::KeyExists(HKEY_LOCAL_MACHINE, support::kSettingsKey));
}

// Modify goes on when the inverted connection is refused, and stores the mirrored record.
TEST_F(Calibration, ARefusedInvertedConnectionDoesNotStopModify) {
  Store("LTRB", DwordValue(1));
  StartTessaro();
  StartTwoPoints();
  ASSERT_TRUE(TouchPoints({kTwoPointTargets[0], kTwoPointTargets[1]}));
  support::DialogSeen check;
  ASSERT_TRUE(WaitForCheckDialog(&check));
  ASSERT_TRUE(SetFailingCodes({kCableConnection}));
  TakeSent();
  ASSERT_TRUE(support::ClickButton(::GetDlgItem(check.window, kModifyButton)));
  ASSERT_TRUE(ExpectMessage("TOUSCR_IOCTL_CABLE_CONNECTION falied"));
  ASSERT_TRUE(WaitForScreenHidden());
  // Modify goes on once the message is answered: its last step stores LTRB.
  ASSERT_TRUE(support::WaitUntil([] { return Stored("LTRB") == DwordValue(0); }));
  const std::vector<Sent> sent = TakeSent();
  ASSERT_EQ(sent.size(), 2u);
  EXPECT_EQ(sent[0], (Sent{kCableConnection, {0}}));
  EXPECT_EQ(sent[1].code, kSetCal);
  EXPECT_EQ(Stored("Calibration"), Binary(sent[1].input));
  EXPECT_EQ(Stored("LTRB"), DwordValue(0));
}

TEST_F(Calibration, ARefusedRecordInTheRestoreStopsIt) {
  StartTessaro();
  StartTwoPoints();
  ASSERT_TRUE(SetFailingCodes({kSetCal}));
  TakeSent();
  ASSERT_TRUE(support::PressKeys({VK_ESCAPE}));
  ASSERT_TRUE(ExpectMessage("IOCTL_SET_CAL_COEFF failed"));
  ASSERT_TRUE(WaitForScreenHidden());
  EXPECT_TRUE(DriverReceived((std::vector<Sent>{{kSetCalType, {1}}, {kSetCal, kNeutralRecord}})));
}

// Five holds on one spot give five equal measured points: no driver can fit a transform to
// them, so the result is refused as coinciding two-point touches are.
TEST_F(Calibration, FiveHoldsOnOneSpotSendNothingComputed) {
  StartTessaro();
  StartFivePoints();
  TakeSent();
  ASSERT_TRUE(TouchPoints({{500, 400}, {500, 400}, {500, 400}, {500, 400}, {500, 400}}));
  ASSERT_TRUE(ExpectMessage("Calibration failed: the touched points coincide"));
  ASSERT_TRUE(WaitForScreenHidden());
  EXPECT_TRUE(DriverReceived(kFirstUseRestore));
  ASSERT_TRUE(session_.Settled());
  EXPECT_FALSE(FindDialog("Vantora").has_value());
  EXPECT_FALSE(support::KeyExists(HKEY_LOCAL_MACHINE, support::kSettingsKey));
}

// While the check dialog or a message box is up, the main window (on another monitor it would
// be in reach) is disabled with the calibration screen, and enabled again afterwards.
TEST_F(Calibration, TheMainWindowIsDisabledWhileTheCheckDialogOrAMessageBoxIsUp) {
  StartTessaro();
  HWND main = session_.MainWindow();
  StartTwoPoints();
  EXPECT_TRUE(::IsWindowEnabled(main)) << "the screen alone leaves the main window enabled";
  ASSERT_TRUE(TouchPoints({kTwoPointTargets[0], kTwoPointTargets[1]}));
  support::DialogSeen check;
  ASSERT_TRUE(WaitForCheckDialog(&check));
  EXPECT_FALSE(::IsWindowEnabled(main)) << "check dialog";
  TakeSent();
  ASSERT_TRUE(session_.AnswerDialog(check, IDCANCEL));
  ASSERT_TRUE(WaitForScreenHidden());
  EXPECT_TRUE(support::WaitUntil([&] { return ::IsWindowEnabled(main) != FALSE; }));
  // The screen hides before the restore: it is done when the driver has it.
  EXPECT_TRUE(DriverReceived(kFirstUseRestore));

  ASSERT_TRUE(SetFailingCodes({kSetCal}));
  StartTwoPoints();
  ASSERT_TRUE(TouchPoints({kTwoPointTargets[0], kTwoPointTargets[1]}));
  support::DialogSeen box;
  ASSERT_TRUE(session_.WaitForMessageBox(&box));
  EXPECT_EQ(box.text, "IOCTL_SET_CAL failed");
  EXPECT_FALSE(::IsWindowEnabled(main)) << "message box";
  ASSERT_TRUE(session_.AnswerDialog(box));
  EXPECT_TRUE(support::WaitUntil([&] { return ::IsWindowEnabled(main) != FALSE; }));
  ASSERT_TRUE(SetFailingCodes({}));
  ASSERT_TRUE(support::PressKeys({VK_ESCAPE}));
  ASSERT_TRUE(WaitForScreenHidden());
}

// The program ends while the screen shows (the taskbar's or the system menu's Close): the
// previous calibration goes back first, exactly as ESC sends it.
TEST_F(Calibration, EndingTheProgramDuringACalibrationRestoresThePreviousOne) {
  Bytes previous;
  for (std::uint8_t i = 0; i < 40; ++i) previous.push_back(static_cast<std::uint8_t>(0x30 + i));
  Store("CalType", DwordValue(3));
  Store("Calibration", Binary(previous));
  Store("LTRB", DwordValue(0));
  Store("Rotation", DwordValue(270));
  StartTessaro();
  StartFivePoints();
  ASSERT_TRUE(TouchPoints({kFivePointTargets[0], kFivePointTargets[1]}));
  TakeSent();
  ASSERT_TRUE(::PostMessageW(session_.MainWindow(), WM_SYSCOMMAND, SC_CLOSE, 0));
  ASSERT_TRUE(session_.WaitForExit());
  EXPECT_EQ(session_.ExitCode(), 0u);
  EXPECT_TRUE(DriverReceived((std::vector<Sent>{{kSetCalType, {3}},
                                                {kSetCal5Pt, previous},
                                                {kCableConnection, {0}},
                                                {kPanelRotation, Dword(270)}})));
  EXPECT_EQ(Stored("Calibration"), Binary(previous));
}

// ESC with a touch held down: the restore is refused and shows its message; inside that
// message's loop the hold must take no point and complete nothing.
TEST_F(Calibration, EscapeDuringAHoldStopsItBeforeTheRestore) {
  StartTessaro();
  StartTwoPoints();
  ASSERT_TRUE(TouchPoints({kTwoPointTargets[0]}));
  ASSERT_TRUE(SetFailingCodes({kSetCalType}));
  TakeSent();
  ASSERT_TRUE(support::MouseDownAt(kTwoPointTargets[1]));
  ASSERT_TRUE(support::PressKeys({VK_ESCAPE}));
  support::DialogSeen box;
  ASSERT_TRUE(session_.WaitForMessageBox(&box));
  EXPECT_EQ(box.text, "IOCTL_SET_CAL_TYPE failed");
  // The touch stays down, still, for over thirty ticks of the 30 ms hold timer, where five take
  // a point: a hold that went on would complete the calibration and open the check dialog.
  // (No message of the program orders the timer's ticks, so this one window is timed.)
  constexpr DWORD kManyHoldTicksMs = 1000;
  EXPECT_FALSE(
      support::WaitUntil([&] { return FindDialog("Vantora").has_value(); }, kManyHoldTicksMs));
  ASSERT_TRUE(support::MouseUpAt(kTwoPointTargets[1]));
  ASSERT_TRUE(session_.AnswerDialog(box));
  ASSERT_TRUE(WaitForScreenHidden());
  ASSERT_TRUE(session_.Settled());
  EXPECT_FALSE(FindDialog("Vantora").has_value());
  EXPECT_TRUE(DriverReceived((std::vector<Sent>{{kSetCalType, {1}}})));
  EXPECT_FALSE(support::KeyExists(HKEY_LOCAL_MACHINE, support::kSettingsKey));
}

// A stored value shorter than its setting replaces only its own bytes of the snapshot: the
// rest of the previous record is kept, and Rotation takes nothing of LTRB.
TEST_F(Calibration, ShortStoredValuesReplaceOnlyTheirOwnBytesOfTheSnapshot) {
  Bytes first;
  for (std::uint8_t i = 0; i < 40; ++i) first.push_back(static_cast<std::uint8_t>(0xA0 + i));
  Store("CalType", DwordValue(3));
  Store("Calibration", Binary(first));
  Store("LTRB", DwordValue(0));
  Store("Rotation", DwordValue(90));
  StartTessaro();
  StartFivePoints();
  TakeSent();
  ASSERT_TRUE(support::PressKeys({VK_ESCAPE}));
  ASSERT_TRUE(WaitForScreenHidden());
  EXPECT_TRUE(DriverReceived((std::vector<Sent>{{kSetCalType, {3}},
                                                {kSetCal5Pt, first},
                                                {kCableConnection, {0}},
                                                {kPanelRotation, Dword(90)}})));

  const Bytes shortRecord(18, 0x11);
  Store("Calibration", Binary(shortRecord));
  Store("LTRB", DwordValue(0xAB01));
  Store("Rotation", RegistryValue{REG_DWORD, {0x0E}});
  StartFivePoints();
  TakeSent();
  ASSERT_TRUE(support::PressKeys({VK_ESCAPE}));
  ASSERT_TRUE(WaitForScreenHidden());
  Bytes kept = shortRecord;
  kept.insert(kept.end(), first.begin() + 18, first.end());
  EXPECT_TRUE(DriverReceived((std::vector<Sent>{{kSetCalType, {3}},
                                                {kSetCal5Pt, kept},
                                                {kCableConnection, {1}},
                                                {kPanelRotation, Dword(0x0E)}})));
}

}  // namespace
