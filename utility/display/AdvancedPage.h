#pragma once

#include "Dialog.h"

// The Advanced tab.
class CAdvancedPage : public fw::CDialog {
 public:
  explicit CAdvancedPage(fw::CWnd* pParent = nullptr);

 protected:
  // Enter and ESC inside the page must never close it.
  void OnOK() override {}
  void OnCancel() override {}
};
