// One run of the real Tessaro.exe, driven from a test program in the same Wine prefix: what a
// program session does, and the utility's own parts: its main window, tabs and pages.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "program_session.h"
#include "ui.h"
#include "wait.h"

namespace support {

// The tabs and their pages, in the order of the tab control and of the pages' creation.
enum class Page { kCalibrate = 0, kTouchSetting = 1, kInfo = 2, kAdvanced = 3 };
constexpr int kPageCount = 4;
const char* PageName(Page page);

constexpr int kTabControlId = 1000;

// Where Tessaro.exe is, as a Windows path.
std::string TessaroExePath();

class TessaroSession : public ProgramSession {
 public:
  using ProgramSession::Launch;
  // Starts Tessaro.exe; does not wait for anything.
  testing::AssertionResult Launch();
  // Waits until the main window is visible and the program waits for input. Fails at once,
  // saying why, when the program ends first or shows a dialog instead.
  testing::AssertionResult WaitForMainWindow();
  // Both of the above.
  testing::AssertionResult Start();

  // The top-level "#32770" window captioned "Tessaro" that holds the tab control; null before
  // WaitForMainWindow found it.
  HWND MainWindow() const { return mainWindow_; }
  // A direct child of the main window by control id.
  HWND Control(int id) const;
  HWND TabControl() const { return Control(kTabControlId); }

  // The page dialogs: the children of class "#32770" of the main window, in z-order. Pages are
  // created in the order Calibrate, Touch Setting, Info, Advanced, each new child goes below
  // the ones before, and showing or hiding a child page does not move it, so z-order is the
  // order of creation. The start-up test checks that the first one holds the Calibrate page's
  // buttons.
  std::vector<HWND> Pages() const;
  HWND PageWindow(Page page) const;
  // Which pages are visible, by index.
  std::vector<bool> PageVisibility() const;

  // TCM_GETCURSEL of the tab control (an integer answer, so it works across processes).
  int CurrentTab() const;
  int TabCount() const;
  // Tab texts and rectangles live in the program's memory: they are fetched through a buffer
  // allocated inside the program (VirtualAllocEx, ReadProcessMemory).
  std::optional<std::string> TabText(int index) const;
  std::optional<RECT> TabItemScreenRect(int index) const;
  // Clicks the tab with real mouse input and waits until it is the current selection.
  testing::AssertionResult ClickTab(int index);
  testing::AssertionResult ClickTab(Page page) { return ClickTab(static_cast<int>(page)); }

  // Whatever the program was doing when the call began is done: a round trip to its main
  // window (see RoundTrip). What a handler would show or store has then shown or been stored.
  testing::AssertionResult Settled() const { return RoundTrip(MainWindow()); }
  // No message box is open once the program has settled.
  testing::AssertionResult NoMessageBox() const;

  // Clicks the main window's OK button and waits for the program to end.
  testing::AssertionResult EndWithOk();

 protected:
  bool IsMainWindow(HWND window) const override;

 private:
  HWND FindMainWindow() const;

  HWND mainWindow_ = nullptr;
};

}  // namespace support
