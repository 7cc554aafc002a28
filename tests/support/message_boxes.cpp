#include "message_boxes.h"

#include <algorithm>

#include "ui.h"

namespace support {
namespace {

// Hook procedures get no context: the catcher of the thread is found here.
thread_local MessageBoxCatcher* t_catcher = nullptr;

constexpr int kAnswerOrder[] = {IDOK, IDCANCEL, IDYES, IDNO, IDRETRY, IDABORT, IDIGNORE};

}  // namespace

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
  if (ClassNameOf(box) != "#32770") return;
  HWND textControl = ::GetDlgItem(box, kMessageBoxTextId);
  if (textControl == nullptr) return;
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
