// The driver and settings half of a calibration, without a window: the reset that starts one,
// the computed calibration sent and stored, the previous one put back, the initial state.
#pragma once

#include <cstdint>

#include "calibration/calibration_math.h"
#include "calibration/calibration_snapshot.h"

class CCalibrationCommit {
 public:
  CCalibrationCommit();

  // Calibration type, points, record buffer, cable connection and rotation.
  calibration::CalibrationData& Data() { return m_cal; }
  calibration::CalibrationKind Kind() const {
    return static_cast<calibration::CalibrationKind>(m_cal.calType);
  }
  void SetKind(calibration::CalibrationKind kind) {
    m_cal.calType = static_cast<std::uint8_t>(kind);
  }

  // The kind stored in "CalType", or `otherwise` when none can be read.
  static calibration::CalibrationKind StoredKind(calibration::CalibrationKind otherwise);

  // Takes a snapshot of the stored calibration, for RestorePreviousCalibration.
  void LoadPreviousCalibration();
  // Sets the driver's calibration type and resets its calibration; the default points come
  // from the touch monitor. False at the first request the driver refuses that stops it.
  bool ResetCalibration(calibration::CalibrationKind kind,
                        const calibration::MonitorRect& touchMonitor);
  // The orientation (five points) and then the record. Stops at the first refused request.
  bool SendComputedCalibration();
  void StoreCalibration();
  // The stored cable connection inverted and sent (Modify).
  void InvertCableConnection();
  // After Modify of a two-point calibration the inverted connection is kept too.
  void StoreInvertedConnection();
  // Sends the snapshot back: type, record, cable connection, rotation.
  void RestorePreviousCalibration();
  // Resets the driver by the stored type and stores the neutral or default record.
  void SetInitialState(const calibration::MonitorRect& touchMonitor);

 private:
  bool SendCableConnection(const char* failureText = "IOCTL_CABLE_CONNECTION failed");
  bool SendRotation();
  bool SendRecord();

  calibration::CalibrationData m_cal;

  // The settings key's calibration as it was when the last calibration started; a cancel
  // sends it back.
  calibration::CalibrationSnapshot m_previous;
};
