#pragma once

#include "Dialog.h"

// The Touch Setting tab.
class CTouchSettingPage : public fw::CDialog {
 public:
  explicit CTouchSettingPage(fw::CWnd* pParent = nullptr);

 protected:
  // Enter and ESC inside the page must never close it.
  void OnOK() override {}
  void OnCancel() override {}
};
