// The Touch Setting page end to end: the real Tessaro.exe on its second tab, real mouse input on
// its sliders and buttons, the driver double's record, the settings key and the system's own
// mouse settings as the registry and the system report them.
#include <gtest/gtest.h>
#include <windows.h>
// after windows.h
#include <commctrl.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdlib>
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

#ifndef MAUSVEX_EXE
#error "MAUSVEX_EXE names the Mausvex stand-in"
#endif

namespace {

using support::Binary;
using support::Bytes;
using support::Concat;
using support::Dword;
using support::DwordValue;
using support::RegistryValue;
using support::Sent;
using support::Store;
using support::Stored;
using support::TakeSent;
using support::WaitForStored;
using support::Word;

// The driver's control codes, spelled out here so that a wrong code in the utility shows.
constexpr std::uint32_t kSetFilterCoeff = 0x220078;
constexpr std::uint32_t kBeepMode = 0x2200a0;
constexpr std::uint32_t kBeepSetting = 0x2200c8;
constexpr std::uint32_t kGetVersion = 0x22011c;

constexpr int kCursorMovement = 1005;
constexpr int kDblclkSpeed = 1004;
constexpr int kDblclkArea = 1034;
constexpr int kDblclkTest = 1016;
constexpr int kLaunch = 1015;
constexpr int kCursorDisplay = 1019;
constexpr int kTouchSound = 1024;
constexpr int kSoundFrequency = 1036;
constexpr int kSoundDuration = 1035;

constexpr char kCurrentVersionKey[] = "Software\\Microsoft\\Windows\\CurrentVersion";
constexpr char kMausvexRecordKey[] = "Software\\Tessaro stand-ins\\Mausvex";
constexpr char kInstallFolder[] = "C:\\Program Files\\Vantora\\USB";
constexpr char kInstalledMausvex[] = "C:\\Program Files\\Vantora\\USB\\Mausvex.exe";
// What an unquoted command line would start first.
constexpr char kProgramExe[] = "C:\\Program.exe";
// The utility's current directory for the fallback, with a blank of its own.
constexpr char kWorkFolder[] = "C:\\tessaro work";
constexpr char kLocalMausvex[] = "C:\\tessaro work\\Mausvex.exe";

// The records as the driver documents them, built here on their own.
Bytes FilterBytes(std::uint16_t coefficient, std::uint32_t position) {
  return Concat({Word(coefficient), Word(coefficient), Dword(position)});
}
Bytes BeepSettingBytes(std::uint16_t divisor, std::uint32_t duration) {
  return Concat({Word(divisor), Dword(duration)});
}
Bytes BeepBytes(std::uint8_t sound, std::uint16_t divisor, std::uint32_t duration) {
  return Concat({{sound}, BeepSettingBytes(divisor, duration)});
}

std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(::tolower(c)); });
  return text;
}

std::string WindowsPath(std::string path) {
  std::replace(path.begin(), path.end(), '/', '\\');
  return path;
}

// Input without a position of its own: the cursor is already where the buttons act. A release
// that carried a move would first drag a pressed slider thumb to the pixel under it.
testing::AssertionResult SendButtons(std::initializer_list<DWORD> flags) {
  for (DWORD flag : flags) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = flag;
    if (::SendInput(1, &input, sizeof(INPUT)) != 1) {
      return testing::AssertionFailure() << "SendInput failed, error " << ::GetLastError();
    }
  }
  return testing::AssertionSuccess();
}

POINT Centre(const RECT& rect) {
  return {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

// The system's mouse settings, as the system keeps them for the user. Each process reads them
// once and keeps its copy (so Wine does), so a change another process makes shows here and in
// the programs started after it, not in this process's GetSystemMetrics.
constexpr char kMouseKey[] = "Control Panel\\Mouse";

// A number the system keeps for the user as text.
std::optional<int> NumberText(const char* key, const char* name) {
  const std::optional<RegistryValue> value = support::ReadValue(HKEY_CURRENT_USER, key, name);
  if (!value || value->type != REG_SZ) return std::nullopt;
  return std::atoi(std::string(value->bytes.begin(), value->bytes.end()).c_str());
}

std::optional<int> MouseSetting(const char* name) { return NumberText(kMouseKey, name); }

// A double-click time set without writing the user's settings (SetDoubleClickTime) lasts for
// the session; Wine keeps it under this volatile key, where programs started later find it.
constexpr char kSessionMouseKey[] =
    "Software\\Wine\\Temporary System Parameters\\Control Panel\\Mouse";

bool SetMouseSetting(const char* name, int value) {
  const std::string text = std::to_string(value);
  return support::WriteValue(HKEY_CURRENT_USER, kMouseKey, name, REG_SZ,
                             Bytes(text.c_str(), text.c_str() + text.size() + 1));
}

class TouchSetting : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(support::DriverRunning() || support::StartDriver());
    ASSERT_TRUE(SetFailingCodes({}));
    ASSERT_TRUE(support::DeleteSettingsKey());
    support::DeleteValue(HKEY_CURRENT_USER, kSessionMouseKey, "DoubleClickSpeed");
    ASSERT_TRUE(SetMouseSetting("DoubleClickSpeed", 500));
  }

  void TearDown() override {
    SetFailingCodes({});
    if (!HasFailure() && session_.Running()) {
      EXPECT_TRUE(session_.EndWithOk());
    }
  }

  // Starts the program (in `workingDirectory` when given) and shows the Touch Setting tab, then
  // forgets what the driver received; `sentAtStart`, when given, gets it first.
  void StartOnPage(const std::string& workingDirectory = "",
                   std::vector<Sent>* sentAtStart = nullptr) {
    StartOnPage(session_, workingDirectory, sentAtStart);
  }
  static void StartOnPage(support::TessaroSession& session, const std::string& workingDirectory,
                          std::vector<Sent>* sentAtStart = nullptr) {
    if (workingDirectory.empty()) {
      ASSERT_TRUE(session.Launch());
    } else {
      ASSERT_TRUE(session.Launch(support::TessaroExePath(), "", workingDirectory));
    }
    ASSERT_TRUE(session.WaitForMainWindow());
    ASSERT_TRUE(session.ClickTab(support::Page::kTouchSetting));
    HWND page = session.PageWindow(support::Page::kTouchSetting);
    ASSERT_TRUE(support::WaitUntil([&] { return ::IsWindowVisible(page) != FALSE; }));
    Redraw(session);
    ASSERT_TRUE(PageFitsMainWindow(session));
    if (sentAtStart != nullptr) {
      *sentAtStart = TakeSent();
    } else {
      ASSERT_TRUE(ClearDriverLog());
    }
  }

  // Painted before anything is looked at (the paint is sent to the program and answered).
  static void Redraw(const support::TessaroSession& session) {
    ::RedrawWindow(session.MainWindow(), nullptr, nullptr,
                   RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  }

  // Every control the tests click lies inside the main window: the page fits its client area
  // (with the templates' fonts; a fallback font for the main window's Korean one makes the page
  // outgrow it).
  static testing::AssertionResult PageFitsMainWindow(const support::TessaroSession& session) {
    RECT page{};
    RECT client{};
    ::GetWindowRect(session.PageWindow(support::Page::kTouchSetting), &page);
    ::GetClientRect(session.MainWindow(), &client);
    ::MapWindowPoints(session.MainWindow(), nullptr, reinterpret_cast<POINT*>(&client), 2);
    if (page.left >= client.left && page.right <= client.right && page.top >= client.top &&
        page.bottom <= client.bottom) {
      return testing::AssertionSuccess();
    }
    return testing::AssertionFailure()
           << "the page (" << page.left << "," << page.top << ")-(" << page.right << ","
           << page.bottom << ") reaches past the main window's client area (" << client.left
           << "," << client.top << ")-(" << client.right << "," << client.bottom << ")";
  }

  HWND Item(int id) const {
    return ::GetDlgItem(session_.PageWindow(support::Page::kTouchSetting), id);
  }
  std::string Caption(int id) const { return support::WindowText(Item(id)); }
  int Position(int id) const {
    return static_cast<int>(::SendMessageW(Item(id), TBM_GETPOS, 0, 0));
  }
  HBITMAP BulbImage() const {
    return reinterpret_cast<HBITMAP>(
        ::SendMessageW(Item(kDblclkTest), BM_GETIMAGE, IMAGE_BITMAP, 0));
  }

  // TBM_GETTHUMBRECT answers through a pointer: the rectangle is fetched through a buffer inside
  // the program.
  std::optional<RECT> ThumbScreenRect(int id) const {
    HANDLE process = session_.Process();
    void* remote =
        ::VirtualAllocEx(process, nullptr, sizeof(RECT), MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    if (remote == nullptr) return std::nullopt;
    RECT rect{};
    DWORD_PTR answer = 0;
    SIZE_T read = 0;
    const bool got =
        ::SendMessageTimeoutW(Item(id), TBM_GETTHUMBRECT, 0, reinterpret_cast<LPARAM>(remote),
                              SMTO_ABORTIFHUNG, support::kWaitMs, &answer) != 0 &&
        ::ReadProcessMemory(process, remote, &rect, sizeof(rect), &read) && read == sizeof(rect);
    ::VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    if (!got || ::IsRectEmpty(&rect)) return std::nullopt;
    ::MapWindowPoints(Item(id), nullptr, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
  }

  // Puts a slider at an exact position and lets the page apply it as a user's release would:
  // a press and release on the thumb, which ends the slider's mouse capture without moving it.
  testing::AssertionResult ReleaseAt(int id, int position) const {
    ::SendMessageW(Item(id), TBM_SETPOS, TRUE, position);
    if (Position(id) != position) {
      return testing::AssertionFailure() << "slider " << id << " did not take " << position;
    }
    const std::optional<RECT> thumb = ThumbScreenRect(id);
    if (!thumb) return testing::AssertionFailure() << "slider " << id << " has no thumb";
    testing::AssertionResult moved = support::MoveCursorTo(Centre(*thumb));
    if (!moved) return moved;
    return SendButtons({MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP});
  }

  // A click on a page button with real mouse input.
  testing::AssertionResult Click(int id) const { return support::MouseClickWindow(Item(id)); }
  testing::AssertionResult RightClick(int id) const {
    RECT rect{};
    ::GetWindowRect(Item(id), &rect);
    testing::AssertionResult moved = support::MoveCursorTo(Centre(rect));
    if (!moved) return moved;
    return SendButtons({MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP});
  }

  // Input is handled in order: once a later click's effect shows, every earlier one was handled.
  // The cursor-display button is clicked twice, so its caption and flag end as they were.
  testing::AssertionResult InputHandled() const {
    for (int i = 0; i < 2; ++i) {
      const std::string caption = Caption(kCursorDisplay);
      testing::AssertionResult clicked = Click(kCursorDisplay);
      if (!clicked) return clicked;
      if (!support::WaitUntil([&] { return Caption(kCursorDisplay) != caption; })) {
        return testing::AssertionFailure() << "the cursor-display button did not answer";
      }
    }
    return testing::AssertionSuccess();
  }

  // The double-click time a program started now would get, as Wine keeps it for the session.
  static std::optional<int> SessionDoubleClickTime() {
    return NumberText(kSessionMouseKey, "DoubleClickSpeed");
  }

  // The page changes them for good; each test puts them back.
  support::ValueRestorer doubleClickSpeed_{HKEY_CURRENT_USER, kMouseKey, "DoubleClickSpeed"};
  support::ValueRestorer sessionDoubleClickSpeed_{HKEY_CURRENT_USER, kSessionMouseKey,
                                                  "DoubleClickSpeed"};
  support::ValueRestorer doubleClickWidth_{HKEY_CURRENT_USER, kMouseKey, "DoubleClickWidth"};
  support::ValueRestorer doubleClickHeight_{HKEY_CURRENT_USER, kMouseKey, "DoubleClickHeight"};
  support::TessaroSession session_;
};

// ------------------------------------------------------------------ start-up

TEST_F(TouchSetting, EmptySettingsKeyShowsDefaultsAndChangesNothing) {
  ASSERT_TRUE(SetMouseSetting("DoubleClickSpeed", 500));
  ASSERT_TRUE(SetMouseSetting("DoubleClickWidth", 6));
  ASSERT_TRUE(SetMouseSetting("DoubleClickHeight", 6));
  ASSERT_TRUE(ClearDriverLog());
  std::vector<Sent> sentAtStart;
  StartOnPage("", &sentAtStart);
  support::SaveScreenshot(support::ScreenshotPath("touch-setting-page"));
  // The Info page asks for the driver's version; the Touch Setting page sends nothing.
  EXPECT_EQ(sentAtStart, (std::vector<Sent>{{kGetVersion, {}}}));

  EXPECT_EQ(Caption(kTouchSound), "Off");
  EXPECT_EQ(Caption(kCursorDisplay), "On");
  EXPECT_EQ(Caption(kLaunch), "Launch");
  EXPECT_EQ(Position(kSoundFrequency), 1);
  EXPECT_EQ(Position(kSoundDuration), 1);
  EXPECT_EQ(Position(kCursorMovement), 0);
  EXPECT_EQ(Position(kDblclkSpeed), 500);
  EXPECT_EQ(Position(kDblclkArea), 6);

  std::vector<DriverRequest> log;
  ASSERT_TRUE(ReadDriverLog(log));
  EXPECT_TRUE(log.empty()) << "the start sent " << log.size() << " requests";
  EXPECT_FALSE(support::KeyExists(HKEY_LOCAL_MACHINE, support::kSettingsKey));
  EXPECT_EQ(MouseSetting("DoubleClickSpeed"), 500);
  EXPECT_EQ(MouseSetting("DoubleClickWidth"), 6);
  EXPECT_EQ(MouseSetting("DoubleClickHeight"), 6);
  EXPECT_TRUE(session_.NoMessageBox());
}

TEST_F(TouchSetting, StoredValuesAreShown) {
  struct Case {
    const char* name;
    Bytes beep;
    Bytes filter;
    std::optional<std::uint32_t> cursor;
    const char* sound;
    int frequency;
    int duration;
    int movement;
    const char* display;
  };
  const Case cases[] = {
      {"stored values",
       {0x01, 0xa7, 0x0a, 0x20, 0x03, 0x00, 0x00},
       FilterBytes(12768, 40000),
       0,
       "On",
       437,
       800,
       40000,
       "Off"},
      // Divisor 119 stands for 10026, which the slider shows at its end.
      {"highest frequency", BeepBytes(0, 119, 1000), FilterBytes(0, 65536), 1, "Off", 10000, 1000,
       65536, "On"},
      // A value one byte short is not used: the defaults stay.
      {"short values",
       {0x01, 0xa7, 0x0a, 0x20, 0x03, 0x00},
       {0x40, 0x9c, 0x40, 0x9c, 0x40, 0x9c, 0x00},
       std::nullopt,
       "Off",
       1,
       1,
       0,
       "On"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_TRUE(support::DeleteSettingsKey());
    Store("Beep", Binary(c.beep));
    Store("Filter", Binary(c.filter));
    if (c.cursor) Store("Cursor", DwordValue(*c.cursor));
    support::TessaroSession session;
    ASSERT_TRUE(session.Start());
    HWND page = session.PageWindow(support::Page::kTouchSetting);
    auto position = [&](int id) {
      return static_cast<int>(::SendMessageW(::GetDlgItem(page, id), TBM_GETPOS, 0, 0));
    };
    EXPECT_EQ(support::WindowText(::GetDlgItem(page, kTouchSound)), c.sound);
    EXPECT_EQ(position(kSoundFrequency), c.frequency);
    EXPECT_EQ(position(kSoundDuration), c.duration);
    EXPECT_EQ(position(kCursorMovement), c.movement);
    EXPECT_EQ(support::WindowText(::GetDlgItem(page, kCursorDisplay)), c.display);
    EXPECT_TRUE(session.EndWithOk());
  }
}

// ------------------------------------------------------------------ sliders

TEST_F(TouchSetting, EachSliderReleaseSendsItsRecordAndStoresIt) {
  struct Case {
    const char* name;
    int slider;
    int position;
    std::uint32_t code;
    Bytes input;
    const char* value;
    Bytes stored;
  };
  // In this order: the divisor and duration of each step are those of the steps before.
  const Case cases[] = {
      {"movement at the middle", kCursorMovement, 32768, kSetFilterCoeff, FilterBytes(16384, 32768),
       "Filter", FilterBytes(16384, 32768)},
      {"movement Quick", kCursorMovement, 0, kSetFilterCoeff, FilterBytes(32768, 0), "Filter",
       FilterBytes(32768, 0)},
      {"movement Slow", kCursorMovement, 65536, kSetFilterCoeff, FilterBytes(0, 65536), "Filter",
       FilterBytes(0, 65536)},
      // Before any frequency was chosen, the divisor is that of position 1.
      {"duration first", kSoundDuration, 250, kBeepSetting, BeepSettingBytes(65535, 250), "Beep",
       BeepBytes(0, 65535, 250)},
      {"frequency 440", kSoundFrequency, 440, kBeepSetting, BeepSettingBytes(2711, 250), "Beep",
       BeepBytes(0, 2711, 250)},
      {"frequency Hi", kSoundFrequency, 10000, kBeepSetting, BeepSettingBytes(119, 250), "Beep",
       BeepBytes(0, 119, 250)},
      {"frequency 19", kSoundFrequency, 19, kBeepSetting, BeepSettingBytes(62798, 250), "Beep",
       BeepBytes(0, 62798, 250)},
      // The lowest positions all give the lowest tone, never the low 16 bits of the quotient.
      {"frequency Low", kSoundFrequency, 1, kBeepSetting, BeepSettingBytes(65535, 250), "Beep",
       BeepBytes(0, 65535, 250)},
      {"frequency 440 again", kSoundFrequency, 440, kBeepSetting, BeepSettingBytes(2711, 250),
       "Beep", BeepBytes(0, 2711, 250)},
      {"duration Long", kSoundDuration, 1000, kBeepSetting, BeepSettingBytes(2711, 1000), "Beep",
       BeepBytes(0, 2711, 1000)},
  };
  StartOnPage();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_TRUE(ReleaseAt(c.slider, c.position));
    EXPECT_TRUE(WaitForStored(c.value, Binary(c.stored)));
    EXPECT_EQ(Position(c.slider), c.position) << "the release moved the thumb";
    EXPECT_EQ(TakeSent(), (std::vector<Sent>{{c.code, c.input}}));
    EXPECT_TRUE(session_.NoMessageBox());
  }
  ASSERT_TRUE(session_.EndWithOk());

  // The stored frequency comes back where it was set.
  support::TessaroSession again;
  ASSERT_TRUE(again.Start());
  HWND page = again.PageWindow(support::Page::kTouchSetting);
  EXPECT_EQ(::SendMessageW(::GetDlgItem(page, kSoundFrequency), TBM_GETPOS, 0, 0), 440);
  EXPECT_EQ(::SendMessageW(::GetDlgItem(page, kSoundDuration), TBM_GETPOS, 0, 0), 1000);
  EXPECT_EQ(::SendMessageW(::GetDlgItem(page, kCursorMovement), TBM_GETPOS, 0, 0), 65536);
  EXPECT_TRUE(again.EndWithOk());
}

// A real drag of the thumb: what is sent is the record of where the thumb was let go.
TEST_F(TouchSetting, DraggingTheMovementThumbSendsWhereItWasLetGo) {
  StartOnPage();
  const std::optional<RECT> thumb = ThumbScreenRect(kCursorMovement);
  ASSERT_TRUE(thumb.has_value());
  const POINT start = Centre(*thumb);
  ASSERT_TRUE(support::MouseDownAt(start));
  for (int dx = 10; dx <= 60; dx += 10) {
    ASSERT_TRUE(support::MoveCursorTo({start.x + dx, start.y}));
  }
  ASSERT_TRUE(support::MouseUpAt({start.x + 60, start.y}));
  ASSERT_TRUE(support::WaitUntil([&] { return Stored("Filter").has_value(); }));
  const int position = Position(kCursorMovement);
  EXPECT_GT(position, 0);
  EXPECT_LT(position, 65536);
  const auto coefficient = static_cast<std::uint16_t>((65536 - position) / 2);
  const Bytes record = FilterBytes(coefficient, static_cast<std::uint32_t>(position));
  EXPECT_EQ(TakeSent(), std::vector<Sent>({{kSetFilterCoeff, record}}));
  EXPECT_EQ(Stored("Filter"), Binary(record));
}

// The system's double-click time is set for the session, not in the user's stored settings:
// a program started afterwards gets it from the system.
TEST_F(TouchSetting, SpeedSetsTheSystemDoubleClickTimeAndStoresIt) {
  StartOnPage();
  ASSERT_TRUE(ReleaseAt(kDblclkSpeed, 300));
  EXPECT_TRUE(WaitForStored("DBClkTime", DwordValue(700)));
  EXPECT_EQ(SessionDoubleClickTime(), 700);
  ASSERT_TRUE(ReleaseAt(kDblclkSpeed, 750));
  EXPECT_TRUE(WaitForStored("DBClkTime", DwordValue(250)));
  EXPECT_EQ(SessionDoubleClickTime(), 250);
  EXPECT_TRUE(TakeSent().empty());
  EXPECT_TRUE(session_.NoMessageBox());
  ASSERT_TRUE(session_.EndWithOk());

  support::TessaroSession again;
  ASSERT_TRUE(again.Start());
  HWND page = again.PageWindow(support::Page::kTouchSetting);
  EXPECT_EQ(::SendMessageW(::GetDlgItem(page, kDblclkSpeed), TBM_GETPOS, 0, 0), 750);
  EXPECT_TRUE(again.EndWithOk());
}

// A time the slider cannot show puts it at its slow end while the test accepts the time itself;
// released there, the slider sets 800 ms.
TEST_F(TouchSetting, SlowSystemDoubleClickTimeShowsAtTheSlowEnd) {
  ASSERT_TRUE(SetMouseSetting("DoubleClickSpeed", 900));
  StartOnPage();
  EXPECT_EQ(Position(kDblclkSpeed), 200);
  ASSERT_TRUE(ReleaseAt(kDblclkSpeed, 200));
  EXPECT_TRUE(WaitForStored("DBClkTime", DwordValue(800)));
  EXPECT_EQ(SessionDoubleClickTime(), 800);
}

TEST_F(TouchSetting, AreaSetsTheSystemDoubleClickRectangleAndStoresNothing) {
  StartOnPage();
  for (int area : {40, 0, 100, 37}) {
    SCOPED_TRACE(area);
    ASSERT_TRUE(ReleaseAt(kDblclkArea, area));
    EXPECT_TRUE(support::WaitUntil([&] {
      return MouseSetting("DoubleClickWidth") == area && MouseSetting("DoubleClickHeight") == area;
    })) << "the double-click rectangle is "
        << MouseSetting("DoubleClickWidth").value_or(-1) << " x "
        << MouseSetting("DoubleClickHeight").value_or(-1);
  }
  EXPECT_FALSE(support::KeyExists(HKEY_LOCAL_MACHINE, support::kSettingsKey));
  EXPECT_TRUE(TakeSent().empty());
  ASSERT_TRUE(session_.EndWithOk());

  // The system's metrics, as a program started now reads them.
  support::TessaroSession again;
  ASSERT_TRUE(again.Start());
  HWND page = again.PageWindow(support::Page::kTouchSetting);
  EXPECT_EQ(::SendMessageW(::GetDlgItem(page, kDblclkArea), TBM_GETPOS, 0, 0), 37);
  EXPECT_TRUE(again.EndWithOk());
}

// Each refused request shows its own text; the value is stored all the same.
TEST_F(TouchSetting, RefusedRequestsShowTheirMessageAndStoreTheValue) {
  struct Case {
    const char* name;
    int slider;
    int position;
    std::uint32_t code;
    const char* message;
    const char* value;
    RegistryValue stored;
  };
  const Case cases[] = {
      {"movement", kCursorMovement, 32768, kSetFilterCoeff, "IOCTL_SET_FILTER_COEFF failed",
       "Filter", Binary(FilterBytes(16384, 32768))},
      {"frequency", kSoundFrequency, 440, kBeepSetting, "IOCTL_BEEP_SETTING failed", "Beep",
       Binary(BeepBytes(0, 2711, 1))},
      {"duration", kSoundDuration, 500, kBeepSetting, "IOCTL_BEEP_SETTING failed", "Beep",
       Binary(BeepBytes(0, 2711, 500))},
  };
  StartOnPage();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_TRUE(SetFailingCodes({c.code}));
    ASSERT_TRUE(ReleaseAt(c.slider, c.position));
    EXPECT_TRUE(session_.AnswerMessageBox(c.message));
    EXPECT_TRUE(WaitForStored(c.value, c.stored));
    EXPECT_EQ(Position(c.slider), c.position);
  }
}

// ------------------------------------------------------------------ sound and cursor buttons

TEST_F(TouchSetting, SoundButtonSwitchesTheTouchSound) {
  StartOnPage();
  ASSERT_TRUE(Click(kTouchSound));
  EXPECT_TRUE(WaitForStored("Beep", Binary(BeepBytes(1, 65535, 1))));
  EXPECT_EQ(Caption(kTouchSound), "On");
  EXPECT_EQ(TakeSent(), std::vector<Sent>({{kBeepMode, {1}}}));

  ASSERT_TRUE(Click(kTouchSound));
  EXPECT_TRUE(WaitForStored("Beep", Binary(BeepBytes(0, 65535, 1))));
  EXPECT_EQ(Caption(kTouchSound), "Off");
  EXPECT_EQ(TakeSent(), std::vector<Sent>({{kBeepMode, {0}}}));
  EXPECT_TRUE(session_.NoMessageBox());
}

TEST_F(TouchSetting, RefusedSoundSwitchKeepsTheCaptionAndStoresTheOldFlag) {
  Store("Beep", Binary(BeepBytes(1, 2711, 300)));
  StartOnPage();
  ASSERT_EQ(Caption(kTouchSound), "On");
  ASSERT_TRUE(support::DeleteSettingsKey());

  ASSERT_TRUE(SetFailingCodes({kBeepMode}));
  ASSERT_TRUE(Click(kTouchSound));
  EXPECT_TRUE(session_.AnswerMessageBox("IOCTL_BEEP_MODE failed"));
  EXPECT_TRUE(WaitForStored("Beep", Binary(BeepBytes(1, 2711, 300))));
  EXPECT_EQ(Caption(kTouchSound), "On");
  EXPECT_EQ(TakeSent(), std::vector<Sent>({{kBeepMode, {0}}}));
  ASSERT_TRUE(SetFailingCodes({}));

  ASSERT_TRUE(support::DeleteSettingsKey());
  {
    support::DriverAbsent absent;
    ASSERT_TRUE(absent.Stopped());
    ASSERT_TRUE(Click(kTouchSound));
    EXPECT_TRUE(session_.AnswerMessageBox("Driver not loaded!"));
    EXPECT_TRUE(session_.AnswerMessageBox("IOCTL_BEEP_MODE failed"));
    EXPECT_TRUE(WaitForStored("Beep", Binary(BeepBytes(1, 2711, 300))));
    EXPECT_EQ(Caption(kTouchSound), "On");
  }
}

// The pointer's display: the caption and the stored "Cursor" change, nothing goes to the driver.
// Whether the system's arrow really changes is the system's business (Wine keeps its own).
TEST_F(TouchSetting, CursorButtonSwitchesThePointerDisplay) {
  StartOnPage();
  ASSERT_TRUE(Click(kCursorDisplay));
  EXPECT_TRUE(WaitForStored("Cursor", DwordValue(0)));
  EXPECT_EQ(Caption(kCursorDisplay), "Off");
  ASSERT_TRUE(Click(kCursorDisplay));
  EXPECT_TRUE(WaitForStored("Cursor", DwordValue(1)));
  EXPECT_EQ(Caption(kCursorDisplay), "On");
  EXPECT_TRUE(TakeSent().empty());
  EXPECT_TRUE(session_.NoMessageBox());
}

// ------------------------------------------------------------------ registry refused

TEST_F(TouchSetting, SettingsKeyDeniedShowsRegOpenKeyExFailure) {
  Store("Beep", Binary(BeepBytes(1, 2711, 300)));
  Store("Cursor", DwordValue(0));
  support::ReadOnlyKey readOnly(HKEY_LOCAL_MACHINE, support::kSettingsKey);
  ASSERT_TRUE(readOnly.Applied()) << readOnly.Problem();
  StartOnPage();
  // The page's reader asks for full access too: it is refused, silently, and the defaults show.
  EXPECT_EQ(Caption(kTouchSound), "Off");
  EXPECT_EQ(Caption(kCursorDisplay), "On");
  EXPECT_TRUE(session_.NoMessageBox());

  ASSERT_TRUE(Click(kTouchSound));
  EXPECT_TRUE(session_.AnswerMessageBox("RegOpenKeyEx failure!"));
  EXPECT_EQ(Caption(kTouchSound), "On");
  ASSERT_TRUE(Click(kCursorDisplay));
  EXPECT_TRUE(session_.AnswerMessageBox("RegOpenKeyEx failure!"));
  ASSERT_TRUE(ReleaseAt(kCursorMovement, 100));
  EXPECT_TRUE(session_.AnswerMessageBox("RegOpenKeyEx failure!"));
  ASSERT_TRUE(session_.Settled());
  EXPECT_EQ(Stored("Beep"), Binary(BeepBytes(1, 2711, 300)));
  EXPECT_EQ(Stored("Cursor"), DwordValue(0));
  EXPECT_FALSE(Stored("Filter").has_value());
}

// A settings key that opens with full access but takes no values: a registry link to the key
// under which the system serves its performance counters. Its values are the system's own; a
// program can open that key but cannot write to it (Wine answers STATUS_INVALID_HANDLE).
class LinkedSettingsKey {
 public:
  LinkedSettingsKey() {
    HKEY key = nullptr;
    if (::RegCreateKeyExA(HKEY_LOCAL_MACHINE, support::kSettingsKey, 0, nullptr,
                          REG_OPTION_VOLATILE | REG_OPTION_CREATE_LINK, KEY_ALL_ACCESS, nullptr,
                          &key, nullptr) != ERROR_SUCCESS) {
      return;
    }
    const std::wstring target =
        L"\\Registry\\Machine\\Software\\Microsoft\\Windows NT\\CurrentVersion\\Perflib\\009";
    made_ = ::RegSetValueExW(key, L"SymbolicLinkValue", 0, REG_LINK,
                             reinterpret_cast<const BYTE*>(target.c_str()),
                             static_cast<DWORD>(target.size() * sizeof(wchar_t))) == ERROR_SUCCESS;
    ::RegCloseKey(key);
  }
  ~LinkedSettingsKey() {
    HKEY key = nullptr;
    if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, support::kSettingsKey, REG_OPTION_OPEN_LINK, DELETE,
                        &key) == ERROR_SUCCESS) {
      using DeleteKeyFn = LONG(NTAPI*)(HANDLE);
      auto deleteKey = reinterpret_cast<DeleteKeyFn>(reinterpret_cast<void*>(
          ::GetProcAddress(::GetModuleHandleA("ntdll.dll"), "NtDeleteKey")));
      if (deleteKey != nullptr) deleteKey(key);
      ::RegCloseKey(key);
    }
  }
  LinkedSettingsKey(const LinkedSettingsKey&) = delete;
  LinkedSettingsKey& operator=(const LinkedSettingsKey&) = delete;
  bool Made() const { return made_; }

 private:
  bool made_ = false;
};

TEST_F(TouchSetting, ValueRefusedShowsRegSetValueExFailure) {
  {
    LinkedSettingsKey linked;
    ASSERT_TRUE(linked.Made());
    StartOnPage();
    ASSERT_TRUE(Click(kTouchSound));
    EXPECT_TRUE(session_.AnswerMessageBox("RegSetValueEx failure!"));
    EXPECT_EQ(Caption(kTouchSound), "On");
    ASSERT_TRUE(Click(kCursorDisplay));
    EXPECT_TRUE(session_.AnswerMessageBox("RegSetValueEx failure!"));
    EXPECT_EQ(Caption(kCursorDisplay), "Off");
    ASSERT_TRUE(ReleaseAt(kCursorMovement, 100));
    EXPECT_TRUE(session_.AnswerMessageBox("RegSetValueEx failure!"));
  }
  ASSERT_FALSE(support::KeyExists(HKEY_LOCAL_MACHINE, support::kSettingsKey))
      << "the link was not removed";
  // The key works again: the next change is stored.
  ASSERT_TRUE(Click(kTouchSound));
  EXPECT_TRUE(WaitForStored("Beep", Binary(BeepBytes(0, 65535, 1))));
}

// ------------------------------------------------------------------ double-click test

TEST_F(TouchSetting, DoubleClickTestTakesClicksInPairs) {
  StartOnPage();
  const HBITMAP unlit = BulbImage();
  ASSERT_NE(unlit, nullptr);

  // Three quick clicks: the first two light the bulb, the third only arms the test.
  for (int i = 0; i < 3; ++i) ASSERT_TRUE(Click(kDblclkTest));
  ASSERT_TRUE(InputHandled());
  const HBITMAP lit = BulbImage();
  EXPECT_NE(lit, unlit) << "three quick clicks did not change the bulb";
  // The fourth pairs with the third and darkens it again.
  ASSERT_TRUE(Click(kDblclkTest));
  ASSERT_TRUE(InputHandled());
  EXPECT_EQ(BulbImage(), unlit) << "the fourth click did not change the bulb back";

  // Four quick clicks: two changes, so the bulb ends as it was, having been lit between.
  for (int i = 0; i < 2; ++i) ASSERT_TRUE(Click(kDblclkTest));
  ASSERT_TRUE(InputHandled());
  EXPECT_EQ(BulbImage(), lit);
  for (int i = 0; i < 2; ++i) ASSERT_TRUE(Click(kDblclkTest));
  ASSERT_TRUE(InputHandled());
  EXPECT_EQ(BulbImage(), unlit);

  // Two slow clicks, further apart than the double-click time: no change.
  ASSERT_TRUE(Click(kDblclkTest));
  ASSERT_TRUE(InputHandled());
  ::Sleep(700);  // the pause is the input itself: longer than the 500 ms that SetUp set
  ASSERT_TRUE(Click(kDblclkTest));
  ASSERT_TRUE(InputHandled());
  EXPECT_EQ(BulbImage(), unlit) << "two slow clicks changed the bulb";
}

// ------------------------------------------------------------------ Launch

class Launch : public TouchSetting {
 protected:
  void SetUp() override {
    TouchSetting::SetUp();
    ASSERT_TRUE(::CreateDirectoryA("C:\\Program Files\\Vantora", nullptr) ||
                ::GetLastError() == ERROR_ALREADY_EXISTS);
    ASSERT_TRUE(::CreateDirectoryA(kInstallFolder, nullptr) ||
                ::GetLastError() == ERROR_ALREADY_EXISTS);
    ASSERT_TRUE(::CreateDirectoryA(kWorkFolder, nullptr) ||
                ::GetLastError() == ERROR_ALREADY_EXISTS);
    // Were the installed path ever started unquoted, this would run instead.
    ASSERT_TRUE(Put(kProgramExe));
    ClearRecord();
  }
  void TearDown() override {
    TouchSetting::TearDown();
    for (const char* path : {kInstalledMausvex, kLocalMausvex, kProgramExe}) ::DeleteFileA(path);
    ClearRecord();
  }

  static bool Put(const char* path) {
    return ::CopyFileA(WindowsPath(MAUSVEX_EXE).c_str(), path, FALSE) != FALSE;
  }
  static void ClearRecord() { ::RegDeleteKeyA(HKEY_CURRENT_USER, kMausvexRecordKey); }
  static std::string RecordText(const char* name) {
    const std::optional<RegistryValue> value =
        support::ReadValue(HKEY_CURRENT_USER, kMausvexRecordKey, name);
    if (!value || value->bytes.empty()) return "";
    return std::string(value->bytes.begin(), value->bytes.end() - 1);
  }
  static std::uint32_t Starts() {
    const std::optional<RegistryValue> value =
        support::ReadValue(HKEY_CURRENT_USER, kMausvexRecordKey, "Starts");
    if (!value || value->bytes.size() != 4) return 0;
    return value->bytes[0] | value->bytes[1] << 8U | value->bytes[2] << 16U |
           static_cast<std::uint32_t>(value->bytes[3]) << 24U;
  }
  static testing::AssertionResult WaitForStarts(std::uint32_t count) {
    if (support::WaitUntil([&] { return Starts() >= count; }) && Starts() == count) {
      return testing::AssertionSuccess();
    }
    return testing::AssertionFailure()
           << "Mausvex was started " << Starts() << " times, not " << count;
  }
};

TEST_F(Launch, LeftAndRightClickStartTheInstalledCopyByItsQuotedPath) {
  ASSERT_TRUE(Put(kInstalledMausvex));
  StartOnPage();
  ASSERT_TRUE(Click(kLaunch));
  ASSERT_TRUE(WaitForStarts(1));
  EXPECT_EQ(Lower(RecordText("Program")), Lower(kInstalledMausvex));
  EXPECT_EQ(RecordText("CommandLine"), std::string("\"") + kInstalledMausvex + "\"");

  ASSERT_TRUE(RightClick(kLaunch));
  ASSERT_TRUE(WaitForStarts(2));
  EXPECT_EQ(Lower(RecordText("Program")), Lower(kInstalledMausvex));
  EXPECT_TRUE(session_.NoMessageBox());
}

// Without an installed copy, or without the Program Files entry, the copy in the current
// directory starts.
TEST_F(Launch, WithoutTheInstalledCopyTheOneInTheCurrentDirectoryStarts) {
  ASSERT_TRUE(Put(kLocalMausvex));
  {
    StartOnPage(kWorkFolder);
    ASSERT_TRUE(Click(kLaunch));
    ASSERT_TRUE(WaitForStarts(1));
    EXPECT_EQ(Lower(RecordText("Program")), Lower(kLocalMausvex));
    EXPECT_EQ(RecordText("CommandLine"), ".\\Mausvex.exe");
    EXPECT_EQ(Lower(RecordText("CurrentDirectory")), Lower(kWorkFolder));
    EXPECT_TRUE(session_.NoMessageBox());
    ASSERT_TRUE(session_.EndWithOk());
  }
  ASSERT_TRUE(Put(kInstalledMausvex));
  support::ValueRestorer programFiles(HKEY_LOCAL_MACHINE, kCurrentVersionKey, "ProgramFilesDir");
  ASSERT_TRUE(support::DeleteValue(HKEY_LOCAL_MACHINE, kCurrentVersionKey, "ProgramFilesDir"));
  support::TessaroSession session;
  StartOnPage(session, kWorkFolder);
  HWND launch = ::GetDlgItem(session.PageWindow(support::Page::kTouchSetting), kLaunch);
  ASSERT_TRUE(support::MouseClickWindow(launch));
  ASSERT_TRUE(WaitForStarts(2));
  EXPECT_EQ(Lower(RecordText("Program")), Lower(kLocalMausvex));
  EXPECT_TRUE(session.EndWithOk());
}

TEST_F(Launch, WithNeitherCopyTheMessageShows) {
  StartOnPage(kWorkFolder);
  ASSERT_TRUE(Click(kLaunch));
  EXPECT_TRUE(session_.AnswerMessageBox("could not find Mausvex.exe"));
  EXPECT_EQ(Starts(), 0U) << "started " << RecordText("Program");
}

}  // namespace
