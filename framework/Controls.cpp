#include "framework/Controls.h"

#include "framework/App.h"

namespace fw {

CBitmap::~CBitmap() {
  if (m_hBitmap != nullptr) ::DeleteObject(m_hBitmap);
}

BOOL CBitmap::LoadBitmap(UINT nIDResource) {
  if (m_hBitmap != nullptr) ::DeleteObject(m_hBitmap);
  m_hBitmap = ::LoadBitmapW(AfxGetInstanceHandle(), MAKEINTRESOURCEW(nIDResource));
  return m_hBitmap != nullptr;
}

BOOL CStatic::Create(const char* text, DWORD style, const RECT& rect, const CWnd& parent, UINT id) {
  HWND hWnd = ::CreateWindowExA(0, "STATIC", text, style, rect.left, rect.top,
                                rect.right - rect.left, rect.bottom - rect.top, parent.m_hWnd,
                                reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)),
                                AfxGetInstanceHandle(), nullptr);
  return SubclassWindow(hWnd);
}

HBITMAP CStatic::SetBitmap(HBITMAP hBitmap) const {
  return reinterpret_cast<HBITMAP>(
      SendMessage(STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(hBitmap)));
}

HBITMAP CButton::SetBitmap(HBITMAP hBitmap) const {
  return reinterpret_cast<HBITMAP>(
      SendMessage(BM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(hBitmap)));
}

int CButton::GetCheck() const { return static_cast<int>(SendMessage(BM_GETCHECK)); }

void CButton::SetCheck(int nCheck) const { SendMessage(BM_SETCHECK, static_cast<WPARAM>(nCheck)); }

LONG CTabCtrl::InsertItem(int nItem, const char* text) const {
  TCITEMA item{};
  item.mask = TCIF_TEXT;
  item.pszText = const_cast<char*>(text);
  return static_cast<LONG>(::SendMessageA(m_hWnd, TCM_INSERTITEMA, static_cast<WPARAM>(nItem),
                                          reinterpret_cast<LPARAM>(&item)));
}

int CTabCtrl::GetCurSel() const { return static_cast<int>(SendMessage(TCM_GETCURSEL)); }

int CTabCtrl::SetCurSel(int nItem) const {
  return static_cast<int>(SendMessage(TCM_SETCURSEL, static_cast<WPARAM>(nItem)));
}

void CSliderCtrl::SetRange(int nMin, int nMax, BOOL bRedraw) const {
  SendMessage(TBM_SETRANGEMIN, FALSE, nMin);
  SendMessage(TBM_SETRANGEMAX, static_cast<WPARAM>(bRedraw), nMax);
}

int CSliderCtrl::GetPos() const { return static_cast<int>(SendMessage(TBM_GETPOS)); }

void CSliderCtrl::SetPos(int nPos) const { SendMessage(TBM_SETPOS, TRUE, nPos); }

void CProgressCtrl::SetRange(short nLower, short nUpper) const {
  SendMessage(PBM_SETRANGE, 0, MAKELPARAM(nLower, nUpper));
}

int CProgressCtrl::SetPos(int nPos) const {
  return static_cast<int>(SendMessage(PBM_SETPOS, static_cast<WPARAM>(nPos)));
}

int CProgressCtrl::SetStep(int nStep) const {
  return static_cast<int>(SendMessage(PBM_SETSTEP, static_cast<WPARAM>(nStep)));
}

int CProgressCtrl::StepIt() const { return static_cast<int>(SendMessage(PBM_STEPIT)); }

}  // namespace fw
