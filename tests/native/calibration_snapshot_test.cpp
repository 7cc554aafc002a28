// Native tests of the snapshot's decoding of stored values: what a read gives replaces only its
// own bytes, and a value that could not be read, or does not fit, changes nothing.
#include "calibration/calibration_snapshot.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <vector>

namespace calibration {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Pattern(std::size_t size, std::uint8_t seed) {
  Bytes bytes(size);
  for (std::size_t i = 0; i < size; ++i) {
    bytes[i] = static_cast<std::uint8_t>(seed + i);
  }
  return bytes;
}

Bytes RecordOf(const CalibrationSnapshot& snapshot) {
  return {snapshot.Record().begin(), snapshot.Record().end()};
}

TEST(CalibrationSnapshot, StartsAsANeutralTwoPointCalibration) {
  const CalibrationSnapshot snapshot;
  EXPECT_EQ(snapshot.Kind(), CalibrationKind::kTwoPoint);
  Bytes neutral(40, 0);
  neutral[2] = 1;
  neutral[10] = 1;
  EXPECT_EQ(RecordOf(snapshot), neutral);
  EXPECT_EQ(snapshot.LTRB(), kCableLTRB);
  EXPECT_EQ(snapshot.Rotation(), 0);
}

// An 18-byte value stored for a five-point record replaces the first 18 bytes and keeps the
// rest of the record it replaces.
TEST(CalibrationSnapshot, AShortRecordKeepsTheRestOfThePreviousOne) {
  CalibrationSnapshot snapshot;
  snapshot.TakeCalType(Bytes{3, 0, 0, 0});
  const Bytes first = Pattern(40, 0xA0);
  snapshot.TakeRecord(first);
  EXPECT_EQ(RecordOf(snapshot), first);
  const Bytes shorter(18, 0x11);
  snapshot.TakeRecord(shorter);
  Bytes kept = shorter;
  kept.insert(kept.end(), first.begin() + 18, first.end());
  EXPECT_EQ(RecordOf(snapshot), kept);
}

TEST(CalibrationSnapshot, ValuesNotReadOrTooLongChangeNothing) {
  CalibrationSnapshot snapshot;
  snapshot.TakeCalType(Bytes{3});
  snapshot.TakeRecord(Pattern(40, 1));
  snapshot.TakeLTRB(Bytes{0, 0, 0, 0});
  snapshot.TakeRotation(Bytes{90, 0, 0, 0});
  snapshot.TakeCalType(std::nullopt);
  snapshot.TakeCalType(Bytes(5, 1));
  snapshot.TakeRecord(std::nullopt);
  snapshot.TakeRecord(Pattern(41, 7));
  snapshot.TakeLTRB(Bytes(5, 1));
  snapshot.TakeRotation(std::nullopt);
  EXPECT_EQ(snapshot.Kind(), CalibrationKind::kFivePoint);
  EXPECT_EQ(RecordOf(snapshot), Pattern(40, 1));
  EXPECT_EQ(snapshot.LTRB(), 0);
  EXPECT_EQ(snapshot.Rotation(), 90);
}

// Each integer keeps its own bytes: a one-byte Rotation takes nothing of LTRB.
TEST(CalibrationSnapshot, AShortIntegerReplacesOnlyItsOwnBytes) {
  CalibrationSnapshot snapshot;
  snapshot.TakeLTRB(Bytes{0x01, 0xAB, 0, 0});
  snapshot.TakeRotation(Bytes{0x0E});
  EXPECT_EQ(snapshot.LTRB(), 0xAB01);
  EXPECT_EQ(snapshot.Rotation(), 0x0E);
}

TEST(CalibrationSnapshot, KindsAndTheirRecords) {
  EXPECT_EQ(RecordSize(CalibrationKind::kTwoPoint), 18u);
  EXPECT_EQ(RecordSize(CalibrationKind::kFivePointLinear), 18u);
  EXPECT_EQ(RecordSize(CalibrationKind::kFivePoint), 40u);
  EXPECT_EQ(RecordSize(static_cast<CalibrationKind>(7)), 0u);
  // The low byte names the kind; an unknown kind takes no record.
  CalibrationSnapshot snapshot;
  snapshot.TakeCalType(Bytes{7, 1, 0, 0});
  EXPECT_EQ(snapshot.Kind(), static_cast<CalibrationKind>(7));
  const Bytes before = RecordOf(snapshot);
  snapshot.TakeRecord(Pattern(18, 3));
  EXPECT_EQ(RecordOf(snapshot), before);
  EXPECT_EQ(DecodeKind(std::nullopt, CalibrationKind::kFivePoint), CalibrationKind::kFivePoint);
  EXPECT_EQ(DecodeKind(Bytes{2}, CalibrationKind::kFivePoint), CalibrationKind::kFivePointLinear);
}

}  // namespace
}  // namespace calibration
