// One run of a program of the build, driven from a test program in the same Wine prefix: start
// it, find its windows, read and answer its dialogs and message boxes, wait for its end.
//
// The program runs inside a job object that kills it when the job handle closes, so neither a
// failed assertion nor a test program that dies leaves it running for the next test.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "ui.h"
#include "wait.h"

namespace support {

class ProgramSession {
 public:
  ProgramSession();
  virtual ~ProgramSession();
  ProgramSession(const ProgramSession&) = delete;
  ProgramSession& operator=(const ProgramSession&) = delete;

  // Asks, before Launch, for the program's registry writes to be traced (Wine's "reg" debug
  // channel), so that a test sees their order. The traces go to the standard error the program
  // shares with the test, of which tools/wine-run keeps a copy in $TESSARO_STDERR_LOG.
  void TraceRegistryWrites() { traceRegistry_ = true; }
  // The names of the values the program has written so far, in order, as the trace shows them.
  std::vector<std::string> TracedRegistryWrites() const;

  // Starts the program at `path` (a Windows path) with a command line of its quoted path and
  // `arguments`, in `workingDirectory` (empty: the test's own). Does not wait for anything.
  testing::AssertionResult Launch(const std::string& path, const std::string& arguments = "",
                                  const std::string& workingDirectory = "");

  // The program's file name, for messages.
  const std::string& Name() const { return name_; }
  DWORD ProcessId() const { return process_.dwProcessId; }
  HANDLE Process() const { return process_.hProcess; }
  bool Running() const;
  // Waits for the process to end; its exit code is then in ExitCode().
  testing::AssertionResult WaitForExit(DWORD timeoutMs = kWaitMs);
  DWORD ExitCode() const;
  // Ends the process the hard way (TerminateProcess) and waits for it.
  void Kill();

  // Every visible top-level window of the process.
  std::vector<HWND> VisibleWindows() const;
  // The visible dialogs of the process other than its main window: message boxes, the About
  // box and the program's other dialogs.
  std::vector<DialogSeen> OpenDialogs() const;
  // Those of them that are message boxes (IsMessageBox).
  std::vector<DialogSeen> MessageBoxes() const;
  // Waits until a message box is open and returns the first one.
  testing::AssertionResult WaitForMessageBox(DialogSeen* box, DWORD timeoutMs = kWaitMs);
  // Waits until exactly one dialog is open and returns it.
  testing::AssertionResult WaitForDialog(DialogSeen* dialog, DWORD timeoutMs = kWaitMs);
  // Clicks one of a dialog's buttons (BM_CLICK) and waits until the dialog has gone.
  testing::AssertionResult AnswerDialog(const DialogSeen& dialog, int buttonId = IDOK);
  // Sends WM_NULL to one of the program's windows and waits for the answer: the program answers
  // only between two of its handlers, so whatever it was doing when the call began is done.
  testing::AssertionResult RoundTrip(HWND window) const;
  // Waits for the next message box, checks its text and answers it with `buttonId`; a box with
  // another text is answered too, and the test fails.
  testing::AssertionResult AnswerMessageBox(const std::string& text, int buttonId = IDOK);

 protected:
  // The program's main window, which OpenDialogs leaves out; none by default.
  virtual bool IsMainWindow(HWND window) const;
  testing::AssertionResult ProcessEndedEarly(const char* waitingFor) const;

 private:
  // Waits until `list` finds a window or the program ends.
  testing::AssertionResult WaitForAny(std::vector<DialogSeen> (ProgramSession::*list)() const,
                                      const char* what, DWORD timeoutMs,
                                      std::vector<DialogSeen>* found) const;

  HANDLE job_ = nullptr;
  bool traceRegistry_ = false;
  std::string name_ = "the program";
  PROCESS_INFORMATION process_{};
};

}  // namespace support
