#include "framework/DataExchange.h"

#include "framework/Wnd.h"

namespace fw {

void DDX_Control(CDataExchange* pDX, int id, CWnd& control) {
  if (control.m_hWnd == nullptr) control.SubclassDlgItem(id, *pDX->m_pDlgWnd);
}

void DDX_Radio(CDataExchange* pDX, int firstId, int& value) {
  HWND hWnd = ::GetDlgItem(pDX->m_pDlgWnd->m_hWnd, firstId);
  if (hWnd == nullptr) return;
  if (pDX->m_bSaveAndValidate) value = -1;
  // The group runs from the first button to the next control with WS_GROUP.
  int index = 0;
  do {
    if (::SendMessageW(hWnd, WM_GETDLGCODE, 0, 0) & DLGC_RADIOBUTTON) {
      if (pDX->m_bSaveAndValidate) {
        if (::SendMessageW(hWnd, BM_GETCHECK, 0, 0) == BST_CHECKED) value = index;
      } else {
        ::SendMessageW(hWnd, BM_SETCHECK, index == value ? BST_CHECKED : BST_UNCHECKED, 0);
      }
      ++index;
    }
    hWnd = ::GetWindow(hWnd, GW_HWNDNEXT);
  } while (hWnd != nullptr && !(::GetWindowLongW(hWnd, GWL_STYLE) & WS_GROUP));
}

}  // namespace fw
