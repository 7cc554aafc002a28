#include "calibration/calibration_snapshot.h"

#include <cstring>

namespace calibration {

namespace {

// A stored value replaces the start of `field` when it fits; the rest of the field stays.
bool Replace(const StoredBytes& stored, void* field, std::size_t fieldSize) {
  if (!stored || stored->size() > fieldSize) {
    return false;
  }
  if (!stored->empty()) {
    std::memcpy(field, stored->data(), stored->size());
  }
  return true;
}

std::int32_t ReplacedInt(const StoredBytes& stored, std::int32_t current) {
  std::int32_t value = current;
  Replace(stored, &value, sizeof(value));
  return value;
}

}  // namespace

std::size_t RecordSize(CalibrationKind kind) {
  if (IsLinear(kind)) {
    return sizeof(CAL_COEFF);
  }
  if (kind == CalibrationKind::kFivePoint) {
    return sizeof(CAL_5PT);
  }
  return 0;
}

CalibrationKind DecodeKind(const StoredBytes& calType, CalibrationKind otherwise) {
  std::uint32_t value = static_cast<std::uint8_t>(otherwise);
  Replace(calType, &value, sizeof(value));
  return static_cast<CalibrationKind>(value & 0xFFU);
}

CalibrationSnapshot::CalibrationSnapshot() {
  std::memcpy(m_record.data(), &kNeutralCalCoeff, sizeof(CAL_COEFF));
}

void CalibrationSnapshot::TakeCalType(const StoredBytes& stored) {
  m_kind = DecodeKind(stored, m_kind);
}

void CalibrationSnapshot::TakeRecord(const StoredBytes& stored) {
  const std::size_t size = RecordSize(m_kind);
  if (size > 0) {
    Replace(stored, m_record.data(), size);
  }
}

void CalibrationSnapshot::TakeLTRB(const StoredBytes& stored) {
  m_nLTRB = ReplacedInt(stored, m_nLTRB);
}

void CalibrationSnapshot::TakeRotation(const StoredBytes& stored) {
  m_nRotation = ReplacedInt(stored, m_nRotation);
}

}  // namespace calibration
