#pragma once

#include "framework/Dialog.h"

// Asks the user to try the new calibration and accept (1), cancel (2) or modify it (100).
class CCalibrationCheckDlg : public fw::CDialog {
 public:
  static constexpr INT_PTR kModifyResult = 100;

  explicit CCalibrationCheckDlg(int nPointCount, fw::CWnd* pParent = nullptr);

 protected:
  BOOL OnInitDialog() override;
  const fw::MessageMap* GetMessageMap() const override;
  void OnModify();

 private:
  int m_nPointCount;
};
