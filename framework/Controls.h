// Thin wrappers of the controls the dialogs use, and of a bitmap resource.
#pragma once

#include <windows.h>
// after windows.h
#include <commctrl.h>

#include "framework/Wnd.h"

namespace fw {

class CBitmap {
 public:
  CBitmap() = default;
  CBitmap(const CBitmap&) = delete;
  CBitmap& operator=(const CBitmap&) = delete;
  ~CBitmap();

  BOOL LoadBitmap(UINT nIDResource);
  operator HBITMAP() const { return m_hBitmap; }

 private:
  HBITMAP m_hBitmap = nullptr;
};

class CStatic : public CWnd {
 public:
  BOOL Create(const char* text, DWORD style, const RECT& rect, const CWnd& parent, UINT id);
  HBITMAP SetBitmap(HBITMAP hBitmap) const;
};

class CButton : public CWnd {
 public:
  HBITMAP SetBitmap(HBITMAP hBitmap) const;
  int GetCheck() const;
  void SetCheck(int nCheck) const;
};

class CTabCtrl : public CWnd {
 public:
  LONG InsertItem(int nItem, const char* text) const;
  int GetCurSel() const;
  int SetCurSel(int nItem) const;
};

class CSliderCtrl : public CWnd {
 public:
  void SetRange(int nMin, int nMax, BOOL bRedraw = FALSE) const;
  int GetPos() const;
  void SetPos(int nPos) const;
};

class CProgressCtrl : public CWnd {
 public:
  void SetRange(short nLower, short nUpper) const;
  int SetPos(int nPos) const;
  int SetStep(int nStep) const;
  int StepIt() const;
};

}  // namespace fw
