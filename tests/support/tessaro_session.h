// One run of the real Tessaro.exe, driven from a test program in the same Wine prefix: start it,
// find its windows, use it as a user would, watch its dialogs, end it.
//
// The program runs inside a job object that kills it when the job handle closes, so neither a
// failed assertion nor a test program that dies leaves it running for the next test.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <optional>
#include <string>
#include <vector>

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

class TessaroSession {
 public:
  TessaroSession();
  ~TessaroSession();
  TessaroSession(const TessaroSession&) = delete;
  TessaroSession& operator=(const TessaroSession&) = delete;

  // Asks, before Launch, for the program's registry writes to be traced (Wine's "reg" debug
  // channel), so that a test sees their order. The traces go to the standard error the program
  // shares with the test, of which tools/wine-run keeps a copy in $TESSARO_STDERR_LOG.
  void TraceRegistryWrites() { traceRegistry_ = true; }
  // The names of the values the program has written so far, in order, as the trace shows them.
  std::vector<std::string> TracedRegistryWrites() const;

  // Starts the program; does not wait for anything.
  testing::AssertionResult Launch();
  // Waits until the main window is visible and the program waits for input. Fails at once,
  // saying why, when the program ends first or shows a dialog instead.
  testing::AssertionResult WaitForMainWindow();
  // Both of the above.
  testing::AssertionResult Start();

  DWORD ProcessId() const { return process_.dwProcessId; }
  bool Running() const;
  // Waits for the process to end; its exit code is then in ExitCode().
  testing::AssertionResult WaitForExit(DWORD timeoutMs = kWaitMs);
  DWORD ExitCode() const;
  // Ends the process the hard way (TerminateProcess) and waits for it.
  void Kill();

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

  // Every visible top-level window of the process.
  std::vector<HWND> VisibleWindows() const;
  // The visible dialogs of the process other than the main window: message boxes, the About
  // box, and later the program's other dialogs.
  std::vector<DialogSeen> OpenDialogs() const;
  // Those of them that are message boxes: dialogs whose message is in a 0xFFFF static.
  std::vector<DialogSeen> MessageBoxes() const;
  // Waits until a message box is open and returns the first one.
  testing::AssertionResult WaitForMessageBox(DialogSeen* box, DWORD timeoutMs = kWaitMs);
  // Waits until exactly one dialog is open and returns it.
  testing::AssertionResult WaitForDialog(DialogSeen* dialog, DWORD timeoutMs = kWaitMs);
  // Clicks one of a dialog's buttons (BM_CLICK) and waits until the dialog has gone.
  testing::AssertionResult AnswerDialog(const DialogSeen& dialog, int buttonId = IDOK);

  // Clicks the main window's OK button and waits for the program to end.
  testing::AssertionResult EndWithOk();

 private:
  testing::AssertionResult ProcessEndedEarly(const char* waitingFor) const;
  HWND FindMainWindow() const;

  HANDLE job_ = nullptr;
  bool traceRegistry_ = false;
  PROCESS_INFORMATION process_{};
  HWND mainWindow_ = nullptr;
};

}  // namespace support
