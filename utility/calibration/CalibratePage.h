#pragma once

#include "Dialog.h"

// The Calibrate tab.
class CCalibratePage : public fw::CDialog {
 public:
  explicit CCalibratePage(fw::CWnd* pParent = nullptr);

 protected:
  // Enter and ESC inside the page must never close it.
  void OnOK() override {}
  void OnCancel() override {}
};
