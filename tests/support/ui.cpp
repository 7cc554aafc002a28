#include "ui.h"

#include <vector>

#include "text.h"
#include "wait.h"

namespace support {

std::string WindowText(HWND window) {
  const int length = ::GetWindowTextLengthW(window);
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  const int copied = ::GetWindowTextW(window, text.data(), length + 1);
  text.resize(static_cast<std::size_t>(copied > 0 ? copied : 0));
  return Utf8(text);
}

std::string ClassNameOf(HWND window) {
  wchar_t name[256] = {};
  const int length = ::GetClassNameW(window, name, 256);
  return Utf8(std::wstring(name, static_cast<std::size_t>(length > 0 ? length : 0)));
}

namespace {

struct ProcessWindows {
  DWORD processId;
  std::vector<HWND> windows;
};

BOOL CALLBACK CollectProcessWindow(HWND window, LPARAM context) {
  auto* found = reinterpret_cast<ProcessWindows*>(context);
  DWORD owner = 0;
  ::GetWindowThreadProcessId(window, &owner);
  if (owner == found->processId) found->windows.push_back(window);
  return TRUE;
}

}  // namespace

std::vector<HWND> TopLevelWindows(DWORD processId) {
  ProcessWindows found{processId, {}};
  ::EnumWindows(&CollectProcessWindow, reinterpret_cast<LPARAM>(&found));
  return found.windows;
}

std::vector<HWND> ChildWindows(HWND parent) {
  std::vector<HWND> children;
  for (HWND child = ::GetWindow(parent, GW_CHILD); child != nullptr;
       child = ::GetWindow(child, GW_HWNDNEXT)) {
    children.push_back(child);
  }
  return children;
}

DialogSeen ReadDialog(HWND dialog) {
  DialogSeen seen;
  seen.window = dialog;
  seen.caption = WindowText(dialog);
  if (HWND text = ::GetDlgItem(dialog, 0xFFFF)) seen.text = WindowText(text);
  for (HWND child : ChildWindows(dialog)) {
    if (ClassNameOf(child) == "Static") seen.statics.push_back(WindowText(child));
  }
  return seen;
}

bool ClickButton(HWND button) {
  return button != nullptr && ::PostMessageW(button, BM_CLICK, 0, 0) != FALSE;
}

namespace {

// A coordinate in the 0..65535 range that absolute mouse input uses over the virtual desktop:
// the smallest one that scales back (n * extent / 65536, rounded down) onto this pixel.
LONG Normalized(LONG pixel, int origin, int extent) {
  return static_cast<LONG>((static_cast<long long>(pixel - origin) * 65536 + extent - 1) / extent);
}

// A mouse event at a given point. Each event carries its own position: the program that owns
// the window under the cursor also reports the pointer motion that it sees from X, and such a
// report of an earlier position may arrive after SetCursorPos.
INPUT MouseInputAt(POINT screenPoint, DWORD buttonFlags) {
  const int left = ::GetSystemMetrics(SM_XVIRTUALSCREEN);
  const int top = ::GetSystemMetrics(SM_YVIRTUALSCREEN);
  const int width = ::GetSystemMetrics(SM_CXVIRTUALSCREEN);
  const int height = ::GetSystemMetrics(SM_CYVIRTUALSCREEN);
  INPUT input{};
  input.type = INPUT_MOUSE;
  input.mi.dx = Normalized(screenPoint.x, left, width);
  input.mi.dy = Normalized(screenPoint.y, top, height);
  input.mi.dwFlags =
      MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_VIRTUALDESK | buttonFlags;
  return input;
}

// Mouse events at given points, all in one SendInput call: nothing comes between them.
testing::AssertionResult SendMouseEvents(std::initializer_list<INPUT> events) {
  std::vector<INPUT> inputs(events);
  const auto count = static_cast<UINT>(inputs.size());
  if (::SendInput(count, inputs.data(), sizeof(INPUT)) != count) {
    return testing::AssertionFailure() << "SendInput failed, error " << ::GetLastError();
  }
  return testing::AssertionSuccess();
}

testing::AssertionResult SendMouseAt(POINT screenPoint, DWORD buttonFlags) {
  return SendMouseEvents({MouseInputAt(screenPoint, buttonFlags)});
}

}  // namespace

testing::AssertionResult MoveCursorTo(POINT screenPoint) {
  if (!::SetCursorPos(screenPoint.x, screenPoint.y)) {
    return testing::AssertionFailure() << "SetCursorPos failed, error " << ::GetLastError();
  }
  POINT cursor{};
  const bool arrived = WaitUntil([&] {
    return ::GetCursorPos(&cursor) && cursor.x == screenPoint.x && cursor.y == screenPoint.y;
  });
  if (!arrived) {
    return testing::AssertionFailure()
           << "the cursor did not move to " << screenPoint.x << "," << screenPoint.y
           << " (it is at " << cursor.x << "," << cursor.y << ")";
  }
  return testing::AssertionSuccess();
}

testing::AssertionResult MouseDownAt(POINT screenPoint) {
  testing::AssertionResult moved = MoveCursorTo(screenPoint);
  if (!moved) return moved;
  return SendMouseAt(screenPoint, MOUSEEVENTF_LEFTDOWN);
}

testing::AssertionResult MouseUpAt(POINT screenPoint) {
  return SendMouseAt(screenPoint, MOUSEEVENTF_LEFTUP);
}

testing::AssertionResult MouseClickAt(POINT screenPoint) {
  testing::AssertionResult pressed = MouseDownAt(screenPoint);
  if (!pressed) return pressed;
  return MouseUpAt(screenPoint);
}

testing::AssertionResult MouseTapAt(POINT screenPoint) {
  testing::AssertionResult moved = MoveCursorTo(screenPoint);
  if (!moved) return moved;
  return SendMouseEvents({MouseInputAt(screenPoint, MOUSEEVENTF_LEFTDOWN),
                          MouseInputAt(screenPoint, MOUSEEVENTF_LEFTUP)});
}

testing::AssertionResult MouseClickWindow(HWND window) {
  RECT rect{};
  if (window == nullptr || !::GetWindowRect(window, &rect)) {
    return testing::AssertionFailure() << "no window to click";
  }
  return MouseClickAt({(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2});
}

testing::AssertionResult PressKeys(std::initializer_list<WORD> keys) {
  std::vector<INPUT> inputs;
  for (WORD key : keys) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    inputs.push_back(input);
  }
  for (auto key = std::rbegin(keys); key != std::rend(keys); ++key) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = *key;
    input.ki.dwFlags = KEYEVENTF_KEYUP;
    inputs.push_back(input);
  }
  const UINT sent = ::SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
  if (sent != inputs.size()) {
    return testing::AssertionFailure() << "SendInput sent " << sent << " of " << inputs.size()
                                       << " key events, error " << ::GetLastError();
  }
  return testing::AssertionSuccess();
}

testing::AssertionResult BringToForeground(HWND window) {
  if (::GetForegroundWindow() != window) ::SetForegroundWindow(window);
  if (!WaitUntil([&] { return ::GetForegroundWindow() == window; })) {
    return testing::AssertionFailure()
           << "window \"" << WindowText(window) << "\" did not become the foreground window";
  }
  return testing::AssertionSuccess();
}

}  // namespace support
