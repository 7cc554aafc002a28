#pragma once

#include "CalibrationScreen.h"
#include "framework/ChildPage.h"
#include "framework/Controls.h"

// The Calibrate tab: Initial State, 2-Points and 5-Points. It owns the one calibration screen.
class CCalibratePage : public fw::CChildPage {
 public:
  explicit CCalibratePage(fw::CWnd* pParent = nullptr);

  // A calibration under way ends as ESC ends it: the previous calibration goes back.
  void EndCalibration();

 protected:
  void DoDataExchange(fw::CDataExchange* pDX) override;
  BOOL OnInitDialog() override;
  const fw::MessageMap* GetMessageMap() const override;

  void OnInitialState();
  void OnTwoPoints();
  void OnFivePoints();

  fw::CButton m_btnFivePoints;
  fw::CButton m_btnTwoPoints;
  fw::CButton m_btnInitialState;
  fw::CBitmap m_bmpInitialState;
  fw::CBitmap m_bmpTwoPoints;
  fw::CBitmap m_bmpFivePoints;
  CCalibrationScreen m_calibrationScreen;

 private:
  void ShowScreenForCalibration();
};
