#include "message_boxes.h"

#include <algorithm>

#include "ui.h"

namespace support {
namespace {

// Hook procedures get no context: the catcher of the thread is found here.
thread_local MessageBoxCatcher* t_catcher = nullptr;

constexpr int kAnswerOrder[] = {IDOK, IDCANCEL, IDYES, IDNO, IDRETRY, IDABORT, IDIGNORE};

constexpr int kFirstButtonId = IDOK;
constexpr int kLastButtonId = 11;  // IDCONTINUE

}  // namespace

bool IsMessageBox(HWND window) {
  if (ClassNameOf(window) != "#32770") return false;
  if ((::GetWindowLongW(window, GWL_STYLE) & WS_CAPTION) != WS_CAPTION) return false;
  int texts = 0;
  int icons = 0;
  int buttons = 0;
  for (HWND child : ChildWindows(window)) {
    const std::string childClass = ClassNameOf(child);
    const int id = ::GetDlgCtrlID(child);
    const LONG style = ::GetWindowLongW(child, GWL_STYLE);
    if (childClass == "Static" && (style & SS_TYPEMASK) == SS_ICON) {
      ++icons;
    } else if (childClass == "Static" && id == kMessageBoxTextId) {
      ++texts;
    } else if (childClass == "Button" && id >= kFirstButtonId && id <= kLastButtonId) {
      ++buttons;
    } else {
      return false;
    }
  }
  return texts == 1 && icons <= 1 && buttons >= 1;
}

MessageBoxCatcher::MessageBoxCatcher() : previous_(t_catcher) {
  t_catcher = this;
  hook_ = ::SetWindowsHookExW(WH_CBT, &CbtProc, nullptr, ::GetCurrentThreadId());
}

MessageBoxCatcher::~MessageBoxCatcher() {
  if (hook_ != nullptr) ::UnhookWindowsHookEx(hook_);
  t_catcher = previous_;
}

std::vector<std::string> MessageBoxCatcher::Texts() const {
  std::vector<std::string> texts;
  texts.reserve(seen_.size());
  for (const MessageBoxSeen& box : seen_) texts.push_back(box.text);
  return texts;
}

LRESULT CALLBACK MessageBoxCatcher::CbtProc(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HCBT_ACTIVATE && t_catcher != nullptr) {
    t_catcher->OnActivate(reinterpret_cast<HWND>(wParam));
  }
  return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

void MessageBoxCatcher::OnActivate(HWND box) {
  if (!IsMessageBox(box)) return;
  HWND textControl = ::GetDlgItem(box, kMessageBoxTextId);
  // A box is activated again when focus comes back to it; it is counted and answered once.
  if (std::find(answered_.begin(), answered_.end(), box) != answered_.end()) return;
  answered_.push_back(box);
  seen_.push_back({WindowText(box), WindowText(textControl)});
  for (int id : kAnswerOrder) {
    if (HWND button = ::GetDlgItem(box, id)) {
      ::PostMessageW(box, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(button));
      return;
    }
  }
}

}  // namespace support
