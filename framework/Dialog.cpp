#include "framework/Dialog.h"

#include <string>

#include "framework/App.h"

namespace fw {
namespace {

void CenterOver(HWND hWnd, HWND hWndOwner) {
  RECT area;
  if (hWndOwner != nullptr && ::IsWindowVisible(hWndOwner) && !::IsIconic(hWndOwner)) {
    ::GetWindowRect(hWndOwner, &area);
  } else {
    MONITORINFO info{};
    info.cbSize = sizeof(info);
    ::GetMonitorInfoW(::MonitorFromWindow(hWnd, MONITOR_DEFAULTTOPRIMARY), &info);
    area = info.rcWork;
  }
  RECT rect;
  ::GetWindowRect(hWnd, &rect);
  const int width = rect.right - rect.left;
  const int height = rect.bottom - rect.top;
  ::SetWindowPos(hWnd, nullptr, area.left + (area.right - area.left - width) / 2,
                 area.top + (area.bottom - area.top - height) / 2, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// Disables the window a modal dialog or message box is owned by, and that window's top-level
// owner too (the main window over an owned full-screen window), as the class library does.
// Restore enables what it disabled, the top-level owner first: the direct owner takes the
// activation back. It also runs when an exception passes.
class ModalOwners {
 public:
  ModalOwners(HWND owner, bool disableOwner)
      : m_hWndOwner(owner),
        m_hWndRoot(owner != nullptr ? ::GetAncestor(owner, GA_ROOTOWNER) : nullptr) {
    if (m_hWndRoot == m_hWndOwner) m_hWndRoot = nullptr;
    // EnableWindow answers whether the window was disabled before.
    m_bRootDisabled = m_hWndRoot != nullptr && !::EnableWindow(m_hWndRoot, FALSE);
    m_bOwnerDisabled = disableOwner && owner != nullptr && !::EnableWindow(owner, FALSE);
  }
  ModalOwners(const ModalOwners&) = delete;
  ModalOwners& operator=(const ModalOwners&) = delete;
  ~ModalOwners() { Restore(); }

  void Restore() {
    if (m_bRootDisabled) ::EnableWindow(m_hWndRoot, TRUE);
    if (m_bOwnerDisabled) ::EnableWindow(m_hWndOwner, TRUE);
    m_bRootDisabled = false;
    m_bOwnerDisabled = false;
  }

 private:
  HWND m_hWndOwner;
  HWND m_hWndRoot;
  bool m_bRootDisabled = false;
  bool m_bOwnerDisabled = false;
};

}  // namespace

CDialog::CDialog(UINT nIDTemplate, CWnd* pParentWnd)
    : m_nIDTemplate(nIDTemplate), m_pParentWnd(pParentWnd) {}

HWND CDialog::CreateFromTemplate(HWND hWndParent) {
  return ::CreateDialogParamW(AfxGetInstanceHandle(), MAKEINTRESOURCEW(m_nIDTemplate), hWndParent,
                              &DialogProc, reinterpret_cast<LPARAM>(this));
}

// The dialog manager calls this for every message; after WM_INITDIALOG the window is attached
// and its messages reach WindowProc first, so here only the initialisation is handled.
INT_PTR CALLBACK CDialog::DialogProc(HWND hWnd, UINT message, WPARAM, LPARAM lParam) {
  if (message != WM_INITDIALOG) return FALSE;
  auto* dialog = reinterpret_cast<CDialog*>(lParam);
  BOOL result = TRUE;
  // Nothing may unwind into the dialog manager, from the attachment either.
  try {
    dialog->Attach(hWnd);
    result = dialog->OnInitDialog();
  } catch (...) {
    result = TRUE;
  }
  if (dialog->m_bModal && !(::GetWindowLongW(hWnd, GWL_STYLE) & WS_CHILD)) {
    CenterOver(hWnd, ::GetWindow(hWnd, GW_OWNER));
  }
  return result;
}

BOOL CDialog::Create(UINT nIDTemplate, CWnd* pParentWnd) {
  m_nIDTemplate = nIDTemplate;
  m_pParentWnd = pParentWnd;
  m_bModal = false;
  return CreateFromTemplate(pParentWnd != nullptr ? pParentWnd->m_hWnd : nullptr) != nullptr;
}

INT_PTR CDialog::DoModal() {
  HWND hWndOwner =
      m_pParentWnd != nullptr ? ::GetAncestor(m_pParentWnd->m_hWnd, GA_ROOT) : GetSafeOwner();
  m_bModal = true;
  m_bEndModal = false;
  m_nModalResult = -1;
  if (CreateFromTemplate(hWndOwner) == nullptr) {
    m_bModal = false;
    return -1;
  }
  // However the loop ends (EndDialog, the window destroyed another way, WM_QUIT, an
  // exception), the owners are enabled again before the dialog hides, so that they take the
  // activation back, and the dialog goes.
  struct ModalEnd {
    CDialog& dialog;
    HWND hWndOwner;
    ModalOwners owners;
    ModalEnd(CDialog& modal, HWND owner) : dialog(modal), hWndOwner(owner), owners(owner, true) {}
    ModalEnd(const ModalEnd&) = delete;
    ModalEnd& operator=(const ModalEnd&) = delete;
    ~ModalEnd() {
      owners.Restore();
      if (dialog.m_hWnd != nullptr) {
        if (hWndOwner != nullptr && ::GetActiveWindow() == dialog.m_hWnd) {
          ::SetActiveWindow(hWndOwner);
        }
        ::ShowWindow(dialog.m_hWnd, SW_HIDE);
        dialog.DestroyWindow();
      }
      dialog.m_bModal = false;
    }
  } end(*this, hWndOwner);
  if (!m_bEndModal) {
    ::ShowWindow(m_hWnd, SW_SHOWNORMAL);
    RunModalLoop();
  }
  return m_nModalResult;
}

void CDialog::RunModalLoop() {
  MSG msg;
  // A dialog destroyed another way (m_hWnd is cleared with its last message) ends the loop too.
  while (!m_bEndModal && m_hWnd != nullptr) {
    const BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
    if (got == 0) {
      // WM_QUIT ends this loop and every loop around it.
      ::PostQuitMessage(static_cast<int>(msg.wParam));
      break;
    }
    if (got < 0) break;
    if (!WalkPreTranslateTree(&msg)) {
      ::TranslateMessage(&msg);
      ::DispatchMessageW(&msg);
    }
  }
}

void CDialog::EndDialog(INT_PTR nResult) {
  m_nModalResult = nResult;
  if (m_bModal) {
    m_bEndModal = true;
    ::PostMessageW(m_hWnd, WM_NULL, 0, 0);  // wakes the loop if the call came from elsewhere
  } else if (m_hWnd != nullptr) {
    ::ShowWindow(m_hWnd, SW_HIDE);
  }
}

BOOL CDialog::UpdateData(BOOL bSaveAndValidate) {
  CDataExchange dx{bSaveAndValidate != FALSE, this};
  DoDataExchange(&dx);
  return TRUE;
}

BOOL CDialog::PreTranslateMessage(MSG* pMsg) {
  // Tab, arrows, Enter and ESC work inside every dialog, child pages included.
  if (pMsg->message >= WM_KEYFIRST && pMsg->message <= WM_KEYLAST && m_hWnd != nullptr) {
    return ::IsDialogMessageW(m_hWnd, pMsg);
  }
  return FALSE;
}

BOOL CDialog::OnInitDialog() {
  UpdateData(FALSE);
  return TRUE;
}

void CDialog::OnOK() {
  UpdateData(TRUE);
  EndDialog(IDOK);
}

void CDialog::OnCancel() { EndDialog(IDCANCEL); }

void CDialog::DoDataExchange(CDataExchange*) {}

BOOL CDialog::OnCommand(WPARAM wParam, LPARAM) {
  switch (LOWORD(wParam)) {
    case IDOK:
      OnOK();
      return TRUE;
    case IDCANCEL:
      OnCancel();
      return TRUE;
    default:
      return FALSE;
  }
}

std::string ProgramName() {
  char path[MAX_PATH + 1] = {};
  // On the oldest systems a path that fills the buffer comes without its terminator: only the
  // length the call answers is read.
  const DWORD length = ::GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string name(path, length < MAX_PATH ? length : MAX_PATH);
  name = name.substr(name.find_last_of("\\/") + 1);
  return name.substr(0, name.rfind('.'));
}

int AfxMessageBox(const char* text, UINT type) {
  HWND hWndOwner = GetSafeOwner();
  // The message box disables its owner itself; its top-level owner is disabled here.
  const ModalOwners owners(hWndOwner, false);
  return ::MessageBoxA(hWndOwner, text, ProgramName().c_str(), type);
}

void AppendAboutItem(const CWnd& wnd, UINT idString, UINT idCommand) {
  HMENU systemMenu = ::GetSystemMenu(wnd, FALSE);
  if (systemMenu == nullptr) return;
  wchar_t text[64] = {};
  if (::LoadStringW(AfxGetInstanceHandle(), idString, text, 64) > 0) {
    ::AppendMenuW(systemMenu, MF_SEPARATOR, 0, nullptr);
    ::AppendMenuW(systemMenu, MF_STRING, idCommand, text);
  }
}

void SetDialogIcons(const CWnd& wnd, HICON icon) {
  wnd.SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
  wnd.SendMessage(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
}

bool PaintMinimizedIcon(const CWnd& wnd, HICON icon) {
  if (!::IsIconic(wnd)) return false;
  PAINTSTRUCT paint;
  HDC dc = ::BeginPaint(wnd, &paint);
  wnd.SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
  RECT rect;
  ::GetClientRect(wnd, &rect);
  const int x = (rect.right - rect.left - ::GetSystemMetrics(SM_CXICON) + 1) / 2;
  const int y = (rect.bottom - rect.top - ::GetSystemMetrics(SM_CYICON) + 1) / 2;
  ::DrawIcon(dc, x, y, icon);
  ::EndPaint(wnd, &paint);
  return true;
}

}  // namespace fw
