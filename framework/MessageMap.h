// Entries of a class's message map: a member handler bound to a window message, a command from
// a control, or a notification from a control. The handler's signature decides how the
// message parameters are unpacked.
#pragma once

#include <windows.h>
// after windows.h
#include <commctrl.h>
#include <windowsx.h>

#include "framework/Wnd.h"

namespace fw {
namespace detail {

template <class F>
struct MemberOf;
template <class C, class R, class... A>
struct MemberOf<R (C::*)(A...)> {
  using type = C;
};

template <class C>
LRESULT Crack(C& self, void (C::*f)(), WPARAM, LPARAM) {
  (self.*f)();
  return 0;
}
template <class C>
LRESULT Crack(C& self, LRESULT (C::*f)(WPARAM, LPARAM), WPARAM wParam, LPARAM lParam) {
  return (self.*f)(wParam, lParam);
}
// Mouse buttons: key flags and the client position.
template <class C>
LRESULT Crack(C& self, void (C::*f)(UINT, POINT), WPARAM wParam, LPARAM lParam) {
  (self.*f)(static_cast<UINT>(wParam), POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
  return 0;
}
// WM_TIMER: the timer identifier.
template <class C>
LRESULT Crack(C& self, void (C::*f)(UINT_PTR), WPARAM wParam, LPARAM) {
  (self.*f)(static_cast<UINT_PTR>(wParam));
  return 0;
}
// WM_SYSCOMMAND: the command and its second parameter.
template <class C>
LRESULT Crack(C& self, void (C::*f)(UINT, LPARAM), WPARAM wParam, LPARAM lParam) {
  (self.*f)(static_cast<UINT>(wParam), lParam);
  return 0;
}
// WM_QUERYDRAGICON.
template <class C>
LRESULT Crack(C& self, HCURSOR (C::*f)(), WPARAM, LPARAM) {
  return reinterpret_cast<LRESULT>((self.*f)());
}
// WM_KILLFOCUS / WM_SETFOCUS: the other window.
template <class C>
LRESULT Crack(C& self, void (C::*f)(HWND), WPARAM wParam, LPARAM) {
  (self.*f)(reinterpret_cast<HWND>(wParam));
  return 0;
}
// WM_NOTIFY: the header and a result slot.
template <class C>
LRESULT Crack(C& self, void (C::*f)(NMHDR*, LRESULT*), WPARAM, LPARAM lParam) {
  LRESULT result = 0;
  (self.*f)(reinterpret_cast<NMHDR*>(lParam), &result);
  return result;
}

template <auto F>
LRESULT Invoke(CWnd& wnd, WPARAM wParam, LPARAM lParam) {
  using C = typename MemberOf<decltype(F)>::type;
  return Crack<C>(static_cast<C&>(wnd), F, wParam, lParam);
}

}  // namespace detail

template <auto F>
constexpr MessageEntry OnMessage(UINT message) {
  return {message, 0, 0, &detail::Invoke<F>};
}

template <auto F>
constexpr MessageEntry OnCommand(UINT id, UINT code = BN_CLICKED) {
  return {WM_COMMAND, id, code, &detail::Invoke<F>};
}

// The control id first, as in OnCommand.
template <auto F>
constexpr MessageEntry OnNotify(UINT id, UINT code) {
  return {WM_NOTIFY, id, code, &detail::Invoke<F>};
}

}  // namespace fw
