#include "calibration/CalibrationCommit.h"

#include <cstring>
#include <optional>
#include <vector>

#include "driver_link/device_control.h"
#include "driver_link/settings_store.h"

using calibration::CalibrationKind;

namespace {

// How a kind's record travels and is kept: CAL_5PT for type 3, CAL_COEFF for types 1 and 2.
struct RecordForm {
  DWORD code;
  DWORD size;
  SettingKind setting;
};

std::optional<RecordForm> RecordFormOf(CalibrationKind kind) {
  switch (kind) {
    case CalibrationKind::kTwoPoint:
      return RecordForm{IOCTL_SET_CAL, sizeof(CAL_COEFF), kSettingCalibrationTwoPoint};
    case CalibrationKind::kFivePointLinear:
      return RecordForm{IOCTL_SET_CAL, sizeof(CAL_COEFF), kSettingCalibrationFivePointLinear};
    case CalibrationKind::kFivePoint:
      return RecordForm{IOCTL_SET_CAL_5PT, sizeof(CAL_5PT), kSettingCalibrationFivePoint};
  }
  return std::nullopt;
}

}  // namespace

CCalibrationCommit::CCalibrationCommit() {
  std::memcpy(m_cal.recordBuffer.data(), &kNeutralCalCoeff, sizeof(CAL_COEFF));
}

CalibrationKind CCalibrationCommit::StoredKind(CalibrationKind otherwise) {
  return calibration::DecodeKind(LoadSettingBytes(kSettingCalType), otherwise);
}

// Every value is decoded into a copy of the one it replaces, and only when it could be read.
void CCalibrationCommit::LoadPreviousCalibration() {
  m_previous.TakeCalType(LoadSettingBytes(kSettingCalType));
  if (const std::optional<RecordForm> form = RecordFormOf(m_previous.Kind())) {
    m_previous.TakeRecord(LoadSettingBytes(form->setting));
  }
  m_previous.TakeLTRB(LoadSettingBytes(kSettingLTRB));
  m_previous.TakeRotation(LoadSettingBytes(kSettingRotation));
}

bool CCalibrationCommit::ResetCalibration(CalibrationKind kind,
                                          const calibration::MonitorRect& touchMonitor) {
  const auto type = static_cast<std::uint8_t>(kind);
  if (!SendRequest(IOCTL_SET_CAL_TYPE, &type, 1, "IOCTL_SET_CAL_TYPE failed")) return false;
  if (IsLinear(kind)) {
    // A coefficient reset that fails does not stop the reset.
    SendRequest(IOCTL_RESET_CAL_COEFF, nullptr, 0, "IOCTL_RESET_CAL_COEFF falied");
  } else if (kind == CalibrationKind::kFivePoint) {
    const CAL_PTS points = m_cal.DefaultPoints(touchMonitor);
    if (!SendRequest(IOCTL_RESET_CAL_PTS, &points, sizeof(points), "IOCTL_RESET_CAL_PTS falied")) {
      return false;
    }
  }
  // A five-point calibration always measures with the LTRB connection.
  if (MeasuresFivePoints(kind)) {
    const auto ltrb = static_cast<std::uint8_t>(kCableLTRB);
    return SendRequest(IOCTL_CABLE_CONNECTION, &ltrb, 1, "IOCTL_CABLE_CONNECTION failed");
  }
  return true;
}

bool CCalibrationCommit::SendCableConnection(const char* failureText) {
  const auto connection = static_cast<std::uint8_t>(m_cal.cableConnection & 0xFF);
  return SendRequest(IOCTL_CABLE_CONNECTION, &connection, 1, failureText);
}

bool CCalibrationCommit::SendRotation() {
  const std::int32_t rotation = m_cal.rotation;
  return SendRequest(IOCTL_PANEL_ROTATION, &rotation, sizeof(rotation),
                     "IOCTL_PANEL_ROTATION failed");
}

bool CCalibrationCommit::SendRecord() {
  const std::optional<RecordForm> form = RecordFormOf(Kind());
  return form &&
         SendRequest(form->code, m_cal.recordBuffer.data(), form->size, "IOCTL_SET_CAL failed");
}

bool CCalibrationCommit::SendComputedCalibration() {
  if (MeasuresFivePoints(Kind()) && !SendCableConnection()) return false;
  if (Kind() == CalibrationKind::kFivePoint && !SendRotation()) return false;
  return SendRecord();
}

void CCalibrationCommit::StoreCalibration() {
  const std::uint32_t type = m_cal.calType;
  SaveSetting(kSettingCalType, &type);
  const std::optional<RecordForm> form = RecordFormOf(Kind());
  if (!form) return;
  SaveSetting(form->setting, m_cal.recordBuffer.data());
  if (MeasuresFivePoints(Kind())) {
    SaveSetting(kSettingLTRB, &m_cal.cableConnection);
    SaveSetting(kSettingRotation, &m_cal.rotation);
  }
}

void CCalibrationCommit::InvertCableConnection() {
  std::int32_t stored = 0;
  if (LoadSetting(kSettingLTRB, &stored)) {
    if (stored == kCableBRTL) {
      m_cal.cableConnection = kCableLTRB;
    } else if (stored == kCableLTRB) {
      m_cal.cableConnection = kCableBRTL;
    }
  }
  SendCableConnection("TOUSCR_IOCTL_CABLE_CONNECTION falied");
}

void CCalibrationCommit::StoreInvertedConnection() {
  if (Kind() == CalibrationKind::kTwoPoint) SaveSetting(kSettingLTRB, &m_cal.cableConnection);
}

void CCalibrationCommit::RestorePreviousCalibration() {
  SetKind(m_previous.Kind());
  const std::uint8_t type = m_cal.calType;
  if (!SendRequest(IOCTL_SET_CAL_TYPE, &type, 1, "IOCTL_SET_CAL_TYPE failed")) return;
  // An unknown type has no record of a known length: nothing more is sent.
  const std::optional<RecordForm> form = RecordFormOf(m_previous.Kind());
  if (!form) return;
  std::memcpy(m_cal.recordBuffer.data(), m_previous.Record().data(), form->size);
  if (!SendRequest(form->code, m_cal.recordBuffer.data(), form->size,
                   "IOCTL_SET_CAL_COEFF failed")) {
    return;
  }
  m_cal.cableConnection = m_previous.LTRB();
  if (!SendCableConnection()) return;
  if (m_previous.Kind() == CalibrationKind::kFivePoint) {
    m_cal.rotation = m_previous.Rotation();
    SendRotation();
  }
}

void CCalibrationCommit::SetInitialState(const calibration::MonitorRect& touchMonitor) {
  SetKind(StoredKind(Kind()));
  ResetCalibration(Kind(), touchMonitor);
  if (IsLinear(Kind())) {
    SaveSetting(kSettingCalibrationTwoPoint, &kNeutralCalCoeff);
  } else if (Kind() == CalibrationKind::kFivePoint) {
    CAL_5PT record{};
    const CAL_PTS points = m_cal.DefaultPoints(touchMonitor);
    std::memcpy(record.targets, points.targets, sizeof(points.targets));
    std::memcpy(record.measured, points.targets, sizeof(points.targets));
    SaveSetting(kSettingCalibrationFivePoint, &record);
  }
}
