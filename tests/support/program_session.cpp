#include "program_session.h"

#include <cstdio>
#include <fstream>

#include "message_boxes.h"
#include "screenshot.h"

namespace support {
namespace {

std::string CurrentTestName() {
  const testing::TestInfo* info = testing::UnitTest::GetInstance()->current_test_info();
  if (info == nullptr) return "outside-a-test";
  return std::string(info->test_suite_name()) + "." + info->name();
}

// The child takes its debug channels from the environment it inherits; its traces go to the
// standard error it shares with this program, which the test runner keeps a copy of. The
// test's own setting comes back when the guard ends.
class RegistryTraceForChild {
 public:
  explicit RegistryTraceForChild(bool wanted) : wanted_(wanted) {
    if (!wanted_) return;
    const DWORD length = ::GetEnvironmentVariableA("WINEDEBUG", saved_, sizeof(saved_));
    hadSaved_ = length > 0 && length < sizeof(saved_);
    ::SetEnvironmentVariableA("WINEDEBUG", "+pid,trace+reg");
  }
  ~RegistryTraceForChild() {
    if (wanted_) ::SetEnvironmentVariableA("WINEDEBUG", hadSaved_ ? saved_ : nullptr);
  }
  RegistryTraceForChild(const RegistryTraceForChild&) = delete;
  RegistryTraceForChild& operator=(const RegistryTraceForChild&) = delete;

 private:
  bool wanted_;
  bool hadSaved_ = false;
  char saved_[256] = {};
};

}  // namespace

ProgramSession::ProgramSession() {
  job_ = ::CreateJobObjectW(nullptr, nullptr);
  if (job_ != nullptr) {
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    ::SetInformationJobObject(job_, JobObjectExtendedLimitInformation, &limits, sizeof(limits));
  }
}

ProgramSession::~ProgramSession() {
  if (Running()) {
    if (testing::Test::HasFailure()) {
      SaveScreenshot(ScreenshotPath("failed-" + CurrentTestName()));
    } else {
      ADD_FAILURE() << name_ << " was still running at the end of the test; it is killed";
    }
    Kill();
  }
  if (process_.hProcess != nullptr) ::CloseHandle(process_.hProcess);
  if (process_.hThread != nullptr) ::CloseHandle(process_.hThread);
  if (job_ != nullptr) ::CloseHandle(job_);
}

testing::AssertionResult ProgramSession::Launch(const std::string& path,
                                                const std::string& arguments,
                                                const std::string& workingDirectory) {
  if (process_.hProcess != nullptr) {
    return testing::AssertionFailure() << "this session has started " << name_ << " already";
  }
  name_ = path.substr(path.find_last_of("\\/") + 1);
  std::string commandLine = "\"" + path + "\"";
  if (!arguments.empty()) commandLine += " " + arguments;
  STARTUPINFOA startup{};
  startup.cb = sizeof(startup);
  BOOL created = FALSE;
  DWORD createError = 0;
  {
    const RegistryTraceForChild trace(traceRegistry_);
    created = ::CreateProcessA(
        path.c_str(), commandLine.data(), nullptr, nullptr, FALSE, CREATE_SUSPENDED, nullptr,
        workingDirectory.empty() ? nullptr : workingDirectory.c_str(), &startup, &process_);
    createError = ::GetLastError();
  }
  if (!created) {
    process_ = {};
    return testing::AssertionFailure()
           << "CreateProcess(" << path << ") failed, error " << createError;
  }
  if (job_ == nullptr || !::AssignProcessToJobObject(job_, process_.hProcess)) {
    const DWORD error = ::GetLastError();
    ::TerminateProcess(process_.hProcess, 1);
    return testing::AssertionFailure() << name_ << " could not be put into a job, error " << error;
  }
  ::ResumeThread(process_.hThread);
  return testing::AssertionSuccess();
}

std::vector<std::string> ProgramSession::TracedRegistryWrites() const {
  std::vector<std::string> names;
  char log[MAX_PATH] = {};
  if (!::GetEnvironmentVariableA("TESSARO_STDERR_LOG", log, MAX_PATH)) return names;
  // Lines of this process only: "pid:tid:trace:reg:NtSetValueKey (handle,L"Name",type,...".
  char prefix[16];
  std::snprintf(prefix, sizeof(prefix), "%04lx:", static_cast<unsigned long>(ProcessId()));
  const std::string marker = "trace:reg:NtSetValueKey (";
  std::ifstream trace(std::string("Z:") + log);
  for (std::string line; std::getline(trace, line);) {
    const std::size_t call = line.find(marker);
    if (line.rfind(prefix, 0) != 0 || call == std::string::npos) continue;
    const std::size_t open = line.find("L\"", call);
    const std::size_t close = open == std::string::npos ? open : line.find('"', open + 2);
    if (close != std::string::npos) names.push_back(line.substr(open + 2, close - open - 2));
  }
  return names;
}

bool ProgramSession::Running() const {
  return process_.hProcess != nullptr &&
         ::WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT;
}

testing::AssertionResult ProgramSession::WaitForExit(DWORD timeoutMs) {
  if (process_.hProcess == nullptr) return testing::AssertionFailure() << "not launched";
  if (::WaitForSingleObject(process_.hProcess, timeoutMs) != WAIT_OBJECT_0) {
    return testing::AssertionFailure() << name_ << " did not end within " << timeoutMs << " ms";
  }
  return testing::AssertionSuccess();
}

DWORD ProgramSession::ExitCode() const {
  DWORD code = STILL_ACTIVE;
  if (process_.hProcess != nullptr) ::GetExitCodeProcess(process_.hProcess, &code);
  return code;
}

void ProgramSession::Kill() {
  if (!Running()) return;
  ::TerminateProcess(process_.hProcess, 1);
  ::WaitForSingleObject(process_.hProcess, kWaitMs);
}

testing::AssertionResult ProgramSession::ProcessEndedEarly(const char* waitingFor) const {
  return testing::AssertionFailure() << name_ << " ended with exit code " << ExitCode()
                                     << " while the test waited for " << waitingFor;
}

bool ProgramSession::IsMainWindow(HWND) const { return false; }

std::vector<HWND> ProgramSession::VisibleWindows() const {
  std::vector<HWND> visible;
  if (process_.hProcess == nullptr) return visible;
  for (HWND window : TopLevelWindows(ProcessId())) {
    if (::IsWindowVisible(window)) visible.push_back(window);
  }
  return visible;
}

std::vector<DialogSeen> ProgramSession::OpenDialogs() const {
  std::vector<DialogSeen> dialogs;
  for (HWND window : VisibleWindows()) {
    if (ClassNameOf(window) == "#32770" && !IsMainWindow(window)) {
      dialogs.push_back(ReadDialog(window));
    }
  }
  return dialogs;
}

std::vector<DialogSeen> ProgramSession::MessageBoxes() const {
  std::vector<DialogSeen> boxes;
  for (const DialogSeen& dialog : OpenDialogs()) {
    if (IsMessageBox(dialog.window)) boxes.push_back(dialog);
  }
  return boxes;
}

testing::AssertionResult ProgramSession::WaitForAny(
    std::vector<DialogSeen> (ProgramSession::*list)() const, const char* what, DWORD timeoutMs,
    std::vector<DialogSeen>* found) const {
  WaitUntil(
      [&] {
        *found = (this->*list)();
        return !found->empty() || !Running();
      },
      timeoutMs);
  if (!found->empty()) return testing::AssertionSuccess();
  if (!Running()) return ProcessEndedEarly(what);
  return testing::AssertionFailure() << "no " << what << " opened within " << timeoutMs << " ms";
}

testing::AssertionResult ProgramSession::WaitForMessageBox(DialogSeen* box, DWORD timeoutMs) {
  std::vector<DialogSeen> boxes;
  testing::AssertionResult opened =
      WaitForAny(&ProgramSession::MessageBoxes, "message box", timeoutMs, &boxes);
  if (opened) *box = boxes.front();
  return opened;
}

testing::AssertionResult ProgramSession::WaitForDialog(DialogSeen* dialog, DWORD timeoutMs) {
  std::vector<DialogSeen> dialogs;
  testing::AssertionResult opened =
      WaitForAny(&ProgramSession::OpenDialogs, "dialog", timeoutMs, &dialogs);
  if (!opened) return opened;
  // A second dialog that opens together with the first shows itself too before the program
  // answers.
  testing::AssertionResult settled = RoundTrip(dialogs.front().window);
  if (!settled) return settled;
  dialogs = OpenDialogs();
  if (dialogs.size() != 1) {
    testing::AssertionResult failure = testing::AssertionFailure();
    failure << dialogs.size() << " dialogs are open:";
    for (const DialogSeen& seen : dialogs)
      failure << " \"" << seen.caption << "\" (\"" << seen.text << "\")";
    return failure;
  }
  *dialog = dialogs.front();
  return testing::AssertionSuccess();
}

testing::AssertionResult ProgramSession::AnswerDialog(const DialogSeen& dialog, int buttonId) {
  HWND button = ::GetDlgItem(dialog.window, buttonId);
  if (button == nullptr) {
    return testing::AssertionFailure()
           << "the dialog \"" << dialog.caption << "\" has no button " << buttonId;
  }
  ClickButton(button);
  if (!WaitUntil([&] { return !::IsWindow(dialog.window) || !::IsWindowVisible(dialog.window); })) {
    return testing::AssertionFailure() << "the dialog \"" << dialog.caption
                                       << "\" is still open after a click on button " << buttonId;
  }
  return testing::AssertionSuccess();
}

testing::AssertionResult ProgramSession::RoundTrip(HWND window) const {
  DWORD_PTR answer = 0;
  if (::SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG | SMTO_BLOCK, kWaitMs,
                            &answer) == 0) {
    return testing::AssertionFailure() << name_ << " did not answer within " << kWaitMs << " ms";
  }
  return testing::AssertionSuccess();
}

testing::AssertionResult ProgramSession::AnswerMessageBox(const std::string& text, int buttonId) {
  DialogSeen box;
  testing::AssertionResult opened = WaitForMessageBox(&box);
  if (!opened) return opened << " (waiting for \"" << text << "\")";
  if (box.text != text) {
    AnswerDialog(box, buttonId);
    return testing::AssertionFailure()
           << "the message box says \"" << box.text << "\", not \"" << text << "\"";
  }
  return AnswerDialog(box, buttonId);
}

}  // namespace support
