#pragma once

#include "Dialog.h"

// The Info tab.
class CInfoPage : public fw::CDialog {
 public:
  explicit CInfoPage(fw::CWnd* pParent = nullptr);

 protected:
  // Enter and ESC inside the page must never close it.
  void OnOK() override {}
  void OnCancel() override {}
};
