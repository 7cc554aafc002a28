#include "tessaro_session.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cwchar>
#include <fstream>

#include "screenshot.h"
#include "text.h"

#ifndef TESSARO_EXE
#error "TESSARO_EXE names the Tessaro program to start"
#endif

namespace support {
namespace {

constexpr char kMainCaption[] = "Tessaro";
constexpr char kDialogClass[] = "#32770";

// A block of memory inside another process, for messages whose answer is written through a
// pointer (they are not marshalled between processes).
class RemoteBuffer {
 public:
  RemoteBuffer(HANDLE process, std::size_t size)
      : process_(process),
        address_(
            ::VirtualAllocEx(process, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE)) {}
  ~RemoteBuffer() {
    if (address_ != nullptr) ::VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
  }
  RemoteBuffer(const RemoteBuffer&) = delete;
  RemoteBuffer& operator=(const RemoteBuffer&) = delete;

  bool Valid() const { return address_ != nullptr; }
  std::uintptr_t Address(std::size_t offset = 0) const {
    return reinterpret_cast<std::uintptr_t>(address_) + offset;
  }
  bool Write(std::size_t offset, const void* data, std::size_t size) const {
    SIZE_T written = 0;
    return ::WriteProcessMemory(process_, reinterpret_cast<void*>(Address(offset)), data, size,
                                &written) &&
           written == size;
  }
  bool Read(std::size_t offset, void* data, std::size_t size) const {
    SIZE_T read = 0;
    return ::ReadProcessMemory(process_, reinterpret_cast<void*>(Address(offset)), data, size,
                               &read) &&
           read == size;
  }

 private:
  HANDLE process_;
  void* address_;
};

// SendMessage that gives up instead of hanging when the program does not answer.
bool SendBounded(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
  DWORD_PTR answer = 0;
  const LRESULT sent = ::SendMessageTimeoutW(window, message, wParam, lParam,
                                             SMTO_ABORTIFHUNG | SMTO_BLOCK, kWaitMs, &answer);
  if (result != nullptr) *result = static_cast<LRESULT>(answer);
  return sent != 0;
}

std::string CurrentTestName() {
  const testing::TestInfo* info = testing::UnitTest::GetInstance()->current_test_info();
  if (info == nullptr) return "outside-a-test";
  return std::string(info->test_suite_name()) + "." + info->name();
}

}  // namespace

const char* PageName(Page page) {
  switch (page) {
    case Page::kCalibrate:
      return "Calibrate";
    case Page::kTouchSetting:
      return "Touch Setting";
    case Page::kInfo:
      return "Info";
    case Page::kAdvanced:
      return "Advanced";
  }
  return "?";
}

std::string TessaroExePath() {
  std::string path = TESSARO_EXE;
  std::replace(path.begin(), path.end(), '/', '\\');
  return path;
}

TessaroSession::TessaroSession() {
  job_ = ::CreateJobObjectW(nullptr, nullptr);
  if (job_ != nullptr) {
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    ::SetInformationJobObject(job_, JobObjectExtendedLimitInformation, &limits, sizeof(limits));
  }
}

TessaroSession::~TessaroSession() {
  if (Running()) {
    if (testing::Test::HasFailure()) {
      SaveScreenshot(ScreenshotPath("failed-" + CurrentTestName()));
    } else {
      ADD_FAILURE() << "Tessaro.exe was still running at the end of the test; it is killed";
    }
    Kill();
  }
  if (process_.hProcess != nullptr) ::CloseHandle(process_.hProcess);
  if (process_.hThread != nullptr) ::CloseHandle(process_.hThread);
  if (job_ != nullptr) ::CloseHandle(job_);
}

testing::AssertionResult TessaroSession::Launch() {
  if (process_.hProcess != nullptr) {
    return testing::AssertionFailure() << "this session has started Tessaro.exe already";
  }
  const std::string path = TessaroExePath();
  std::string commandLine = "\"" + path + "\"";
  STARTUPINFOA startup{};
  startup.cb = sizeof(startup);
  char savedDebug[256] = {};
  bool hadDebug = false;
  if (traceRegistry_) {
    // The child takes its debug channels from the environment it inherits; its traces go to
    // the standard error it shares with this program, which the test runner keeps a copy of.
    const DWORD length = ::GetEnvironmentVariableA("WINEDEBUG", savedDebug, sizeof(savedDebug));
    hadDebug = length > 0 && length < sizeof(savedDebug);
    ::SetEnvironmentVariableA("WINEDEBUG", "+pid,trace+reg");
  }
  const BOOL created = ::CreateProcessA(path.c_str(), commandLine.data(), nullptr, nullptr, FALSE,
                                        CREATE_SUSPENDED, nullptr, nullptr, &startup, &process_);
  const DWORD createError = ::GetLastError();
  if (traceRegistry_) ::SetEnvironmentVariableA("WINEDEBUG", hadDebug ? savedDebug : nullptr);
  if (!created) {
    process_ = {};
    return testing::AssertionFailure() << "CreateProcess(" << path << ") failed, error "
                                       << createError;
  }
  if (job_ == nullptr || !::AssignProcessToJobObject(job_, process_.hProcess)) {
    const DWORD error = ::GetLastError();
    ::TerminateProcess(process_.hProcess, 1);
    return testing::AssertionFailure()
           << "Tessaro.exe could not be put into a job, error " << error;
  }
  ::ResumeThread(process_.hThread);
  return testing::AssertionSuccess();
}

std::vector<std::string> TessaroSession::TracedRegistryWrites() const {
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

namespace {

bool IsMainWindow(HWND window) {
  if (ClassNameOf(window) != kDialogClass || WindowText(window) != kMainCaption) return false;
  HWND tab = ::GetDlgItem(window, kTabControlId);
  return tab != nullptr && ClassNameOf(tab) == WC_TABCONTROLA;
}

}  // namespace

HWND TessaroSession::FindMainWindow() const {
  for (HWND window : TopLevelWindows(ProcessId())) {
    if (::IsWindowVisible(window) && IsMainWindow(window)) return window;
  }
  return nullptr;
}

testing::AssertionResult TessaroSession::ProcessEndedEarly(const char* waitingFor) const {
  return testing::AssertionFailure() << "Tessaro.exe ended with exit code " << ExitCode()
                                     << " while the test waited for " << waitingFor;
}

testing::AssertionResult TessaroSession::WaitForMainWindow() {
  if (process_.hProcess == nullptr) return testing::AssertionFailure() << "not launched";
  std::vector<DialogSeen> dialogs;
  WaitUntil([&] {
    mainWindow_ = FindMainWindow();
    dialogs = OpenDialogs();
    return mainWindow_ != nullptr || !dialogs.empty() || !Running();
  });
  if (mainWindow_ == nullptr) {
    if (!dialogs.empty()) {
      return testing::AssertionFailure()
             << "Tessaro.exe showed the dialog \"" << dialogs.front().caption << "\" (\""
             << dialogs.front().text << "\") instead of its main window";
    }
    if (!Running()) return ProcessEndedEarly("its main window");
    return testing::AssertionFailure()
           << "Tessaro.exe showed no main window within " << kWaitMs << " ms";
  }
  const DWORD idle = ::WaitForInputIdle(process_.hProcess, kWaitMs);
  if (idle != 0) {
    return testing::AssertionFailure()
           << "Tessaro.exe did not become idle (WaitForInputIdle " << idle << ")";
  }
  return testing::AssertionSuccess();
}

testing::AssertionResult TessaroSession::Start() {
  testing::AssertionResult launched = Launch();
  if (!launched) return launched;
  return WaitForMainWindow();
}

bool TessaroSession::Running() const {
  return process_.hProcess != nullptr &&
         ::WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT;
}

testing::AssertionResult TessaroSession::WaitForExit(DWORD timeoutMs) {
  if (process_.hProcess == nullptr) return testing::AssertionFailure() << "not launched";
  if (::WaitForSingleObject(process_.hProcess, timeoutMs) != WAIT_OBJECT_0) {
    return testing::AssertionFailure() << "Tessaro.exe did not end within " << timeoutMs << " ms";
  }
  return testing::AssertionSuccess();
}

DWORD TessaroSession::ExitCode() const {
  DWORD code = STILL_ACTIVE;
  if (process_.hProcess != nullptr) ::GetExitCodeProcess(process_.hProcess, &code);
  return code;
}

void TessaroSession::Kill() {
  if (!Running()) return;
  ::TerminateProcess(process_.hProcess, 1);
  ::WaitForSingleObject(process_.hProcess, kWaitMs);
}

HWND TessaroSession::Control(int id) const {
  return mainWindow_ == nullptr ? nullptr : ::GetDlgItem(mainWindow_, id);
}

std::vector<HWND> TessaroSession::Pages() const {
  std::vector<HWND> pages;
  if (mainWindow_ == nullptr) return pages;
  for (HWND child : ChildWindows(mainWindow_)) {
    if (ClassNameOf(child) == kDialogClass) pages.push_back(child);
  }
  return pages;
}

HWND TessaroSession::PageWindow(Page page) const {
  const std::vector<HWND> pages = Pages();
  const auto index = static_cast<std::size_t>(page);
  return index < pages.size() ? pages[index] : nullptr;
}

std::vector<bool> TessaroSession::PageVisibility() const {
  std::vector<bool> visible;
  for (HWND page : Pages()) visible.push_back(::IsWindowVisible(page) != FALSE);
  return visible;
}

int TessaroSession::CurrentTab() const {
  LRESULT selection = -2;
  if (!SendBounded(TabControl(), TCM_GETCURSEL, 0, 0, &selection)) return -2;
  return static_cast<int>(selection);
}

int TessaroSession::TabCount() const {
  LRESULT count = -1;
  if (!SendBounded(TabControl(), TCM_GETITEMCOUNT, 0, 0, &count)) return -1;
  return static_cast<int>(count);
}

std::optional<std::string> TessaroSession::TabText(int index) const {
  constexpr int kTextChars = 128;
  RemoteBuffer remote(process_.hProcess, sizeof(TCITEMW) + kTextChars * sizeof(wchar_t));
  if (!remote.Valid()) return std::nullopt;
  TCITEMW item{};
  item.mask = TCIF_TEXT;
  item.pszText = reinterpret_cast<LPWSTR>(remote.Address(sizeof(TCITEMW)));
  item.cchTextMax = kTextChars;
  const wchar_t empty = L'\0';
  LRESULT got = 0;
  if (!remote.Write(0, &item, sizeof(item)) ||
      !remote.Write(sizeof(TCITEMW), &empty, sizeof(empty)) ||
      !SendBounded(TabControl(), TCM_GETITEMW, static_cast<WPARAM>(index),
                   static_cast<LPARAM>(remote.Address()), &got) ||
      got == 0) {
    return std::nullopt;
  }
  // The control may point pszText at its own copy instead of filling the buffer.
  TCITEMW answered{};
  if (!remote.Read(0, &answered, sizeof(answered))) return std::nullopt;
  wchar_t text[kTextChars] = {};
  SIZE_T read = 0;
  if (!::ReadProcessMemory(process_.hProcess, answered.pszText, text,
                           sizeof(text) - sizeof(wchar_t), &read)) {
    return std::nullopt;
  }
  return Utf8(std::wstring(text, ::wcsnlen(text, kTextChars - 1)));
}

std::optional<RECT> TessaroSession::TabItemScreenRect(int index) const {
  RemoteBuffer remote(process_.hProcess, sizeof(RECT));
  RECT rect{};
  LRESULT got = 0;
  if (!remote.Valid() ||
      !SendBounded(TabControl(), TCM_GETITEMRECT, static_cast<WPARAM>(index),
                   static_cast<LPARAM>(remote.Address()), &got) ||
      got == 0 || !remote.Read(0, &rect, sizeof(rect))) {
    return std::nullopt;
  }
  ::MapWindowPoints(TabControl(), nullptr, reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

testing::AssertionResult TessaroSession::ClickTab(int index) {
  const std::optional<RECT> rect = TabItemScreenRect(index);
  if (!rect) return testing::AssertionFailure() << "tab " << index << " has no rectangle";
  testing::AssertionResult clicked =
      MouseClickAt({(rect->left + rect->right) / 2, (rect->top + rect->bottom) / 2});
  if (!clicked) return clicked;
  if (!WaitUntil([&] { return CurrentTab() == index; })) {
    return testing::AssertionFailure()
           << "after a click on tab " << index << " the current tab is " << CurrentTab();
  }
  return testing::AssertionSuccess();
}

std::vector<HWND> TessaroSession::VisibleWindows() const {
  std::vector<HWND> visible;
  if (process_.hProcess == nullptr) return visible;
  for (HWND window : TopLevelWindows(ProcessId())) {
    if (::IsWindowVisible(window)) visible.push_back(window);
  }
  return visible;
}

std::vector<DialogSeen> TessaroSession::OpenDialogs() const {
  std::vector<DialogSeen> dialogs;
  for (HWND window : VisibleWindows()) {
    // The main window may become visible between two looks, before the session knows it.
    if (window != mainWindow_ && ClassNameOf(window) == kDialogClass && !IsMainWindow(window)) {
      dialogs.push_back(ReadDialog(window));
    }
  }
  return dialogs;
}

std::vector<DialogSeen> TessaroSession::MessageBoxes() const {
  std::vector<DialogSeen> boxes;
  for (const DialogSeen& dialog : OpenDialogs()) {
    if (::GetDlgItem(dialog.window, 0xFFFF) != nullptr) boxes.push_back(dialog);
  }
  return boxes;
}

testing::AssertionResult TessaroSession::WaitForMessageBox(DialogSeen* box, DWORD timeoutMs) {
  std::vector<DialogSeen> boxes;
  WaitUntil(
      [&] {
        boxes = MessageBoxes();
        return !boxes.empty() || !Running();
      },
      timeoutMs);
  if (boxes.empty()) {
    if (!Running()) return ProcessEndedEarly("a message box");
    return testing::AssertionFailure() << "no message box opened within " << timeoutMs << " ms";
  }
  *box = boxes.front();
  return testing::AssertionSuccess();
}

testing::AssertionResult TessaroSession::WaitForDialog(DialogSeen* dialog, DWORD timeoutMs) {
  std::vector<DialogSeen> dialogs;
  WaitUntil(
      [&] {
        dialogs = OpenDialogs();
        return !dialogs.empty() || !Running();
      },
      timeoutMs);
  if (dialogs.empty()) {
    if (!Running()) return ProcessEndedEarly("a dialog");
    return testing::AssertionFailure() << "no dialog opened within " << timeoutMs << " ms";
  }
  // Let a second dialog that opens together with the first show itself too.
  ::Sleep(100);
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

testing::AssertionResult TessaroSession::AnswerDialog(const DialogSeen& dialog, int buttonId) {
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

testing::AssertionResult TessaroSession::EndWithOk() {
  HWND ok = Control(IDOK);
  if (ok == nullptr) return testing::AssertionFailure() << "the main window has no OK button";
  ClickButton(ok);
  return WaitForExit();
}

}  // namespace support
