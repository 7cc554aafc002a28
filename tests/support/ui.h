// Windows seen from the outside: texts, classes, enumeration by process, and input that goes
// through the system's input queue like a user's (SendInput), or through a control's own
// click message.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <initializer_list>
#include <string>
#include <vector>

namespace support {

// Texts are read as UTF-16 (also across processes) and returned as UTF-8.
std::string WindowText(HWND window);
std::string ClassNameOf(HWND window);

// Top-level windows of a process, visible or not, in z-order.
std::vector<HWND> TopLevelWindows(DWORD processId);
// The direct children of a window in z-order (the order of creation for dialog children).
std::vector<HWND> ChildWindows(HWND parent);

// A dialog as the user sees it: its caption, the text of its 0xFFFF static (the message of a
// message box; empty when it has none) and the texts of all its static controls in z-order.
struct DialogSeen {
  HWND window = nullptr;
  std::string caption;
  std::string text;
  std::vector<std::string> statics;
};
DialogSeen ReadDialog(HWND dialog);

// Posts BM_CLICK: the button clicks itself and notifies its parent. Posted, so that a click
// that opens a modal dialog does not block the caller.
bool ClickButton(HWND button);

// Real mouse input. SetCursorPos, then a check that the cursor arrived.
testing::AssertionResult MoveCursorTo(POINT screenPoint);
// Moves the cursor to a screen point and presses the left button there; releases it there.
// Every button event carries the point itself, so a late report of an earlier pointer position
// cannot send the press elsewhere.
testing::AssertionResult MouseDownAt(POINT screenPoint);
testing::AssertionResult MouseUpAt(POINT screenPoint);
// Press and release at a point.
testing::AssertionResult MouseClickAt(POINT screenPoint);
// Press and release at a point in one input call: the shortest press there is.
testing::AssertionResult MouseTapAt(POINT screenPoint);
// A click at the centre of a window.
testing::AssertionResult MouseClickWindow(HWND window);

// Real keyboard input: presses the keys in order and releases them in reverse order, so
// {VK_MENU, VK_F4} is Alt+F4.
testing::AssertionResult PressKeys(std::initializer_list<WORD> keys);

// Makes a window the foreground window (keyboard input goes there) and waits until it is.
testing::AssertionResult BringToForeground(HWND window);

}  // namespace support
