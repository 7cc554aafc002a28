#pragma once

#include "calibration/CalibrationCommit.h"
#include "calibration/calibration_math.h"
#include "calibration/hold_tracker.h"
#include "framework/Controls.h"
#include "framework/Dialog.h"

// The full-screen calibration window. One exists for the life of the program: it shows the
// targets and collects a steady hold for each; its commit half sends, stores and undoes the
// calibration.
class CCalibrationScreen : public fw::CDialog {
 public:
  explicit CCalibrationScreen(fw::CWnd* pParent = nullptr);

  // Starts a calibration of type 1 (two points) or 3 (five points) on the shown screen.
  void StartCalibration(calibration::CalibrationKind kind);
  // Resets the driver and stores the neutral or default record; the screen stays hidden.
  void SetInitialState();
  // Ends a calibration under way exactly as ESC does; nothing when none is.
  void CancelCalibration();

  BOOL PreTranslateMessage(MSG* pMsg) override;

 protected:
  BOOL OnInitDialog() override;
  void OnOK() override {}
  void OnCancel() override;
  const fw::MessageMap* GetMessageMap() const override;

  void OnPaint();
  void OnLButtonDown();
  void OnLButtonUp();
  void OnTimer(UINT_PTR nIDEvent);

 private:
  void PlaceImages();
  void SyncHoldTimer();
  void ShowFirstTarget();
  void AcceptPoint(const calibration::TakenPoint& taken);
  void RunCompletion();
  void Modify();
  void HandleNoFiniteResult();
  void HideScreen();
  void HideTargetImages();
  fw::CStatic* CurrentImages();

  calibration::HoldTracker m_hold;
  UINT_PTR m_nHoldTimer = 0;

  fw::CStatic m_twoPointImages[calibration::kTwoPointCount];
  fw::CStatic m_fivePointImages[calibration::kFivePointCount];
  fw::CStatic m_twoPointMarkers[calibration::kTwoPointCount];
  fw::CStatic m_fivePointMarkers[calibration::kFivePointCount];
  fw::CBitmap m_bmpBlueTarget;
  fw::CBitmap m_bmpGrayTarget;
  fw::CBitmap m_bmpRedCross;
  fw::CBitmap m_bmpGrayCross;

  CCalibrationCommit m_commit;
};
