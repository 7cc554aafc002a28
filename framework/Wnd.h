// Window wrapper: a handle-to-object map, a subclassing window procedure and a static message
// map per class. Windows are Unicode inside (so Korean resource texts survive on any code page);
// the programs themselves speak ANSI.
#pragma once

#include <windows.h>

#include <cstddef>

namespace fw {

class CWnd;

using MessageThunk = LRESULT (*)(CWnd& wnd, WPARAM wParam, LPARAM lParam);

// One binding: a window message, or WM_COMMAND / WM_NOTIFY with a control id and a code.
struct MessageEntry {
  UINT message;
  UINT id;
  UINT code;
  MessageThunk thunk;
};

struct MessageMap {
  const MessageMap* base;
  const MessageEntry* first;
  std::size_t count;

  template <std::size_t N>
  constexpr MessageMap(const MessageMap* baseMap, const MessageEntry (&entries)[N])
      : base(baseMap), first(entries), count(N) {}
  constexpr explicit MessageMap(const MessageMap* baseMap)
      : base(baseMap), first(nullptr), count(0) {}
};

class CWnd {
 public:
  CWnd() = default;
  CWnd(const CWnd&) = delete;
  CWnd& operator=(const CWnd&) = delete;
  virtual ~CWnd();

  HWND m_hWnd = nullptr;

  HWND GetSafeHwnd() const { return m_hWnd; }
  operator HWND() const { return m_hWnd; }

  // The object attached to a window, or null; controls attached by data exchange count too.
  static CWnd* FromHandlePermanent(HWND hWnd);

  // Attaches this object to an existing window and routes its messages through the map.
  bool SubclassWindow(HWND hWnd);
  bool SubclassDlgItem(int id, const CWnd& parent);

  BOOL ShowWindow(int nCmdShow) const { return ::ShowWindow(m_hWnd, nCmdShow); }
  LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const {
    return ::SendMessageW(m_hWnd, message, wParam, lParam);
  }
  HWND GetDlgItem(int id) const { return ::GetDlgItem(m_hWnd, id); }
  BOOL DestroyWindow();

  // Offered every queued message aimed at this window or one of its descendants before it is
  // dispatched; returning true consumes it.
  virtual BOOL PreTranslateMessage(MSG* pMsg);

 protected:
  virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
  virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);
  virtual const MessageMap* GetMessageMap() const;
  // The processing the window had before it was attached (the dialog manager's, a control's),
  // for the message being handled, unchanged.
  LRESULT Default();
  // The same processing for any message.
  LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);

  void Attach(HWND hWnd);
  void Detach();

  static LRESULT CALLBACK StaticWindowProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);

 private:
  const MessageEntry* FindEntry(UINT message, WPARAM wParam, LPARAM lParam) const;
  bool IsNotificationOfChild(const NMHDR* header) const;

  WNDPROC m_pfnSuper = nullptr;
  // The message WindowProc is handling; Default passes it on.
  UINT m_nCurrentMessage = 0;
  WPARAM m_wCurrentParam = 0;
  LPARAM m_lCurrentParam = 0;
  // Set when the window's last message (WM_NCDESTROY) arrives.
  bool m_bDestroying = false;
};

// Walks from the message's window up through its parents and owners, giving each attached
// object's PreTranslateMessage a chance. True when one consumed the message.
bool WalkPreTranslateTree(MSG* pMsg);

}  // namespace fw
