#include "tessaro_session.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdint>
#include <cwchar>

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

testing::AssertionResult TessaroSession::Launch() { return Launch(TessaroExePath()); }

// The main window may become visible between two looks, before the session knows it.
bool TessaroSession::IsMainWindow(HWND window) const {
  if (window == mainWindow_) return true;
  if (ClassNameOf(window) != kDialogClass || WindowText(window) != kMainCaption) return false;
  HWND tab = ::GetDlgItem(window, kTabControlId);
  return tab != nullptr && ClassNameOf(tab) == WC_TABCONTROLA;
}

HWND TessaroSession::FindMainWindow() const {
  for (HWND window : TopLevelWindows(ProcessId())) {
    if (::IsWindowVisible(window) && IsMainWindow(window)) return window;
  }
  return nullptr;
}

testing::AssertionResult TessaroSession::WaitForMainWindow() {
  if (Process() == nullptr) return testing::AssertionFailure() << "not launched";
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
  const DWORD idle = ::WaitForInputIdle(Process(), kWaitMs);
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
  RemoteBuffer remote(Process(), sizeof(TCITEMW) + kTextChars * sizeof(wchar_t));
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
  if (!::ReadProcessMemory(Process(), answered.pszText, text, sizeof(text) - sizeof(wchar_t),
                           &read)) {
    return std::nullopt;
  }
  return Utf8(std::wstring(text, ::wcsnlen(text, kTextChars - 1)));
}

std::optional<RECT> TessaroSession::TabItemScreenRect(int index) const {
  RemoteBuffer remote(Process(), sizeof(RECT));
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

testing::AssertionResult TessaroSession::NoMessageBox() const {
  testing::AssertionResult settled = Settled();
  if (!settled) return settled;
  const std::vector<DialogSeen> boxes = MessageBoxes();
  if (!boxes.empty()) {
    return testing::AssertionFailure() << "unexpected message box \"" << boxes[0].text << "\"";
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
