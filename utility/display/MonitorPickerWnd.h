#pragma once

#include <windows.h>

#include "framework/Dialog.h"

// A borderless window laid over the whole virtual desktop: a left click makes the monitor under
// it the touch monitor, tells the driver and stores the mapping. Enter and Escape hide it with
// nothing chosen.
class CMonitorPickerWnd : public fw::CDialog {
 public:
  explicit CMonitorPickerWnd(fw::CWnd* pParent = nullptr);
  ~CMonitorPickerWnd() override;

  // The screen position of the window's client origin: the virtual desktop's top-left corner.
  void SetOrigin(LONG x, LONG y);

 protected:
  BOOL OnInitDialog() override;
  const fw::MessageMap* GetMessageMap() const override;

  void OnLButtonDown(UINT nFlags, POINT point);
  // The seven values of the mapping just sent; true when all were written.
  bool SaveMonitorSettings();

  POINT m_ptOrigin{0, 0};

 private:
  // Puts back the touch monitor stored by the last pick, if it is a monitor present now.
  static void RestoreTouchMonitor();
};
