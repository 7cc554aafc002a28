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
  dialog->Attach(hWnd);
  BOOL result = TRUE;
  try {
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
  // EnableWindow answers whether the owner was disabled before.
  const bool reenableOwner = hWndOwner != nullptr && !::EnableWindow(hWndOwner, FALSE);
  if (!m_bEndModal) {
    ::ShowWindow(m_hWnd, SW_SHOWNORMAL);
    RunModalLoop();
  }
  // The owner is enabled again before the dialog hides, so that it takes the activation back.
  if (reenableOwner) ::EnableWindow(hWndOwner, TRUE);
  if (hWndOwner != nullptr && ::GetActiveWindow() == m_hWnd) ::SetActiveWindow(hWndOwner);
  ::ShowWindow(m_hWnd, SW_HIDE);
  DestroyWindow();
  m_bModal = false;
  return m_nModalResult;
}

void CDialog::RunModalLoop() {
  MSG msg;
  while (!m_bEndModal) {
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

int AfxMessageBox(const char* text, UINT type) {
  char path[MAX_PATH] = {};
  ::GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string caption = path;
  caption = caption.substr(caption.find_last_of("\\/") + 1);
  caption = caption.substr(0, caption.rfind('.'));
  return ::MessageBoxA(GetSafeOwner(), text, caption.c_str(), type);
}

}  // namespace fw
