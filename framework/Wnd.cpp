#include "framework/Wnd.h"

#include <unordered_map>

namespace fw {
namespace {

std::unordered_map<HWND, CWnd*>& HandleMap() {
  static std::unordered_map<HWND, CWnd*> map;
  return map;
}

}  // namespace

CWnd::~CWnd() {
  // A window that outlives its object must stop calling into it; one whose last message is
  // being handled (an object freed by its WM_NCDESTROY handler) is going anyway.
  if (m_hWnd != nullptr) {
    HWND hWnd = m_hWnd;
    Detach();
    if (!m_bDestroying) ::DestroyWindow(hWnd);
  }
}

CWnd* CWnd::FromHandlePermanent(HWND hWnd) {
  auto found = HandleMap().find(hWnd);
  return found == HandleMap().end() ? nullptr : found->second;
}

void CWnd::Attach(HWND hWnd) {
  m_hWnd = hWnd;
  m_bDestroying = false;
  HandleMap()[hWnd] = this;
  m_pfnSuper = reinterpret_cast<WNDPROC>(
      ::SetWindowLongPtrW(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&StaticWindowProc)));
}

void CWnd::Detach() {
  if (m_hWnd == nullptr) return;
  HandleMap().erase(m_hWnd);
  if (m_pfnSuper != nullptr &&
      ::GetWindowLongPtrW(m_hWnd, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(&StaticWindowProc)) {
    ::SetWindowLongPtrW(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnSuper));
  }
  m_pfnSuper = nullptr;
  m_hWnd = nullptr;
}

bool CWnd::SubclassWindow(HWND hWnd) {
  if (hWnd == nullptr || m_hWnd != nullptr || FromHandlePermanent(hWnd) != nullptr) return false;
  Attach(hWnd);
  return true;
}

bool CWnd::SubclassDlgItem(int id, const CWnd& parent) {
  return SubclassWindow(::GetDlgItem(parent.m_hWnd, id));
}

BOOL CWnd::DestroyWindow() {
  if (m_hWnd == nullptr) return FALSE;
  return ::DestroyWindow(m_hWnd);  // WM_NCDESTROY detaches the object
}

BOOL CWnd::PreTranslateMessage(MSG*) { return FALSE; }

const MessageMap* CWnd::GetMessageMap() const {
  static const MessageMap map(nullptr);
  return &map;
}

const MessageEntry* CWnd::FindEntry(UINT message, WPARAM wParam, LPARAM lParam) const {
  UINT id = 0;
  UINT code = 0;
  if (message == WM_COMMAND) {
    id = LOWORD(wParam);
    code = HIWORD(wParam);
  } else if (message == WM_NOTIFY) {
    // WindowProc lets only a notification of one of our children get here.
    const auto* header = reinterpret_cast<const NMHDR*>(lParam);
    id = static_cast<UINT>(header->idFrom);
    code = header->code;
  }
  for (const MessageMap* map = GetMessageMap(); map != nullptr; map = map->base) {
    for (std::size_t i = 0; i < map->count; ++i) {
      const MessageEntry& entry = map->first[i];
      if (entry.message == message && entry.id == id && entry.code == code) return &entry;
    }
  }
  return nullptr;
}

// Any program on the desktop can send WM_NOTIFY, with any pointer: only a header that names one
// of this window's children is read further.
bool CWnd::IsNotificationOfChild(const NMHDR* header) const {
  return header != nullptr && ::IsChild(m_hWnd, header->hwndFrom);
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NOTIFY && !IsNotificationOfChild(reinterpret_cast<const NMHDR*>(lParam))) {
    return 0;
  }
  if (const MessageEntry* entry = FindEntry(message, wParam, lParam)) {
    return entry->thunk(*this, wParam, lParam);
  }
  if (message == WM_COMMAND && OnCommand(wParam, lParam)) return 0;
  return DefWindowProc(message, wParam, lParam);
}

BOOL CWnd::OnCommand(WPARAM, LPARAM) { return FALSE; }

LRESULT CWnd::Default() {
  return DefWindowProc(m_nCurrentMessage, m_wCurrentParam, m_lCurrentParam);
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  if (m_pfnSuper != nullptr) return ::CallWindowProcW(m_pfnSuper, m_hWnd, message, wParam, lParam);
  return ::DefWindowProcW(m_hWnd, message, wParam, lParam);
}

LRESULT CALLBACK CWnd::StaticWindowProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
  CWnd* wnd = FromHandlePermanent(hWnd);
  if (wnd == nullptr) return ::DefWindowProcW(hWnd, message, wParam, lParam);
  LRESULT result = 0;
  if (message == WM_NCDESTROY) wnd->m_bDestroying = true;
  // A message sent while another is handled (a nested one) has its turn and gives it back.
  const UINT outerMessage = wnd->m_nCurrentMessage;
  const WPARAM outerWParam = wnd->m_wCurrentParam;
  const LPARAM outerLParam = wnd->m_lCurrentParam;
  wnd->m_nCurrentMessage = message;
  wnd->m_wCurrentParam = wParam;
  wnd->m_lCurrentParam = lParam;
  // Nothing may unwind through the window procedure into the system.
  try {
    result = wnd->WindowProc(message, wParam, lParam);
  } catch (...) {
    result = 0;
  }
  // A WM_NCDESTROY handler may have freed the object (a heap-owned modeless window); its
  // destructor then let go of the window, and nothing of the object may be touched.
  if (message == WM_NCDESTROY && FromHandlePermanent(hWnd) != wnd) return result;
  wnd->m_nCurrentMessage = outerMessage;
  wnd->m_wCurrentParam = outerWParam;
  wnd->m_lCurrentParam = outerLParam;
  if (message == WM_NCDESTROY) wnd->Detach();
  return result;
}

bool WalkPreTranslateTree(MSG* pMsg) {
  for (HWND hWnd = pMsg->hwnd; hWnd != nullptr; hWnd = ::GetParent(hWnd)) {
    CWnd* wnd = CWnd::FromHandlePermanent(hWnd);
    if (wnd != nullptr && wnd->PreTranslateMessage(pMsg)) return true;
  }
  return false;
}

}  // namespace fw
