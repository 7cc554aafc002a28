// The calibration the settings key held when a calibration started, decoded from the stored
// values as the registry gives them: a read of a setting yields the stored bytes when they fit
// the setting's size, and nothing otherwise. Portable: no Windows header.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "calibration/calibration_math.h"

namespace calibration {

// The bytes one read of a stored value gave, or none when it could not be read.
using StoredBytes = std::optional<std::vector<std::uint8_t>>;

// The record size of a kind: 18 bytes (CAL_COEFF) for types 1 and 2, 40 (CAL_5PT) for type 3,
// none for any other type.
std::size_t RecordSize(CalibrationKind kind);

// The kind "CalType" names (its low byte), or `otherwise` when it gives none.
CalibrationKind DecodeKind(const StoredBytes& calType, CalibrationKind otherwise);

class CalibrationSnapshot {
 public:
  // Until the key supplies them: a two-point neutral calibration, LTRB, 0 degrees.
  CalibrationSnapshot();

  // Each takes one value as read. A value replaces the start of the field it fills and keeps
  // the rest of what was there; none, or one longer than the field, changes nothing.
  void TakeCalType(const StoredBytes& stored);
  // The record of the snapshot's kind; a kind without a record takes none.
  void TakeRecord(const StoredBytes& stored);
  void TakeLTRB(const StoredBytes& stored);
  void TakeRotation(const StoredBytes& stored);

  CalibrationKind Kind() const { return m_kind; }
  const std::array<std::uint8_t, sizeof(CAL_5PT)>& Record() const { return m_record; }
  std::int32_t LTRB() const { return m_nLTRB; }
  std::int32_t Rotation() const { return m_nRotation; }

 private:
  CalibrationKind m_kind = CalibrationKind::kTwoPoint;
  std::array<std::uint8_t, sizeof(CAL_5PT)> m_record{};
  std::int32_t m_nLTRB = kCableLTRB;
  std::int32_t m_nRotation = 0;
};

}  // namespace calibration
