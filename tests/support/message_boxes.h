// Message boxes shown by the code under test, read and answered in-process.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace support {

// The static control that holds a message box's text.
constexpr int kMessageBoxTextId = 0xFFFF;

// A message box, told by its make rather than its caption: a "#32770" window with a caption
// whose children are one text static 0xFFFF, at most one icon and buttons with ids 1 (IDOK)
// to 11 (IDCONTINUE). A dialog of the program's own with a 0xFFFF static among other controls
// (the calibration screen's target images carry that id) is no message box.
bool IsMessageBox(HWND window);

struct MessageBoxSeen {
  std::string caption;
  std::string text;
};

// While it lives, every message box that opens on the creating thread is recorded (caption and
// exact text) and answered at once with its OK button (or the first button it has), so a call
// that shows one returns instead of blocking the test. A CBT hook sees each box when it is
// activated, after the dialog manager has filled in its text.
class MessageBoxCatcher {
 public:
  MessageBoxCatcher();
  ~MessageBoxCatcher();
  MessageBoxCatcher(const MessageBoxCatcher&) = delete;
  MessageBoxCatcher& operator=(const MessageBoxCatcher&) = delete;

  bool Installed() const { return hook_ != nullptr; }
  const std::vector<MessageBoxSeen>& Seen() const { return seen_; }
  // The texts alone, in the order the boxes opened.
  std::vector<std::string> Texts() const;
  void Clear() { seen_.clear(); }

 private:
  static LRESULT CALLBACK CbtProc(int code, WPARAM wParam, LPARAM lParam);
  void OnActivate(HWND box);

  HHOOK hook_ = nullptr;
  MessageBoxCatcher* previous_ = nullptr;
  std::vector<HWND> answered_;
  std::vector<MessageBoxSeen> seen_;
};

}  // namespace support
