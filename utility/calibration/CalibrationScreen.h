#pragma once

#include <array>
#include <cstdint>

#include "calibration_math.h"
#include "framework/Controls.h"
#include "framework/Dialog.h"

// The full-screen calibration window. One exists for the life of the program: it shows the
// targets, collects a steady hold for each, and carries the calibration state with the
// operations that send it to the driver, store it and undo it.
class CCalibrationScreen : public fw::CDialog {
 public:
  explicit CCalibrationScreen(fw::CWnd* pParent = nullptr);

  // Starts a calibration of type 1 (two points) or 3 (five points) on the shown screen.
  void StartCalibration(int nType);
  // Sets the driver's calibration type and resets its calibration.
  bool ResetCalibration(int nType);
  void LoadPreviousCalibration();
  void RestorePreviousCalibration();
  void InvertCableConnection();
  // Resets the driver and stores the neutral or default record; the screen stays hidden.
  void SetInitialState();

  BOOL PreTranslateMessage(MSG* pMsg) override;

 protected:
  BOOL OnInitDialog() override;
  void OnOK() override {}
  void OnCancel() override;
  const fw::MessageMap* GetMessageMap() const override;

  void OnPaint();
  void OnLButtonDown();
  void OnLButtonDblClk();
  void OnLButtonUp();
  void OnTimer(UINT_PTR nIDEvent);

 private:
  void PlaceImages();
  void BeginHold();
  void ShowFirstTarget();
  void AcceptPoint(double meanX, double meanY);
  void RunCompletion();
  void Modify();
  void StoreCalibration();
  void HandleNoFiniteResult();
  void HideScreen();
  void HideTargetImages();
  bool SendCableConnection();
  bool SendRotation();
  bool SendRecord();
  bool SendComputedCalibration();
  fw::CStatic* CurrentImages();

  // Window state.
  int m_nPointCount = calibration::kTwoPointCount;
  int m_nCollectedPoints = 0;
  UINT_PTR m_nHoldTimer = 0;
  bool m_bHoldUnderWay = false;
  int m_nSampleCount = 0;
  std::array<std::int32_t, calibration::kHoldSamples> m_sampleX{};
  std::array<std::int32_t, calibration::kHoldSamples> m_sampleY{};

  fw::CStatic m_twoPointImages[calibration::kTwoPointCount];
  fw::CStatic m_fivePointImages[calibration::kFivePointCount];
  fw::CStatic m_twoPointMarkers[calibration::kTwoPointCount];
  fw::CStatic m_fivePointMarkers[calibration::kFivePointCount];
  fw::CBitmap m_bmpBlueTarget;
  fw::CBitmap m_bmpGrayTarget;
  fw::CBitmap m_bmpRedCross;
  fw::CBitmap m_bmpGrayCross;

  // Calibration type, points, record buffer, cable connection and rotation.
  calibration::CalibrationData m_cal;

  // The settings key's calibration as it was when the last calibration started; a cancel
  // sends it back. Until the key supplies them: a two-point neutral calibration, LTRB, 0 deg.
  std::uint8_t m_nPrevCalType = kCalTypeTwoPoint;
  std::array<std::uint8_t, 40> m_prevRecord{};
  std::int32_t m_nPrevLTRB = kCableLTRB;
  std::int32_t m_nPrevRotation = 0;
};
