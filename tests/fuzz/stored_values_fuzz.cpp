// Fuzz target: the decoding of stored values into the calibration snapshot, with values of
// any length read or not, in any order. Checked against a plain model of the rule: a value that
// fits replaces the start of its field, and nothing else changes.
#include <fuzzer/FuzzedDataProvider.h>

#include <array>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "calibration/calibration_snapshot.h"

namespace {

using calibration::CalibrationKind;
using calibration::CalibrationSnapshot;
using calibration::StoredBytes;

void Check(bool holds) {
  if (!holds) std::abort();
}

void Replace(const StoredBytes& stored, std::uint8_t* field, std::size_t size) {
  if (stored && stored->size() <= size) {
    for (std::size_t i = 0; i < stored->size(); ++i) field[i] = (*stored)[i];
  }
}

struct Model {
  std::array<std::uint8_t, 4> calType{1, 0, 0, 0};
  std::array<std::uint8_t, 40> record{0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 1};
  std::array<std::uint8_t, 4> ltrb{1, 0, 0, 0};
  std::array<std::uint8_t, 4> rotation{};
};

std::int32_t AsInt(const std::array<std::uint8_t, 4>& bytes) {
  std::int32_t value = 0;
  std::memcpy(&value, bytes.data(), sizeof(value));
  return value;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  CalibrationSnapshot snapshot;
  Model model;
  while (input.remaining_bytes() > 0) {
    const int field = input.ConsumeIntegralInRange<int>(0, 3);
    StoredBytes stored;
    if (input.ConsumeBool()) {
      stored = input.ConsumeBytes<std::uint8_t>(input.ConsumeIntegralInRange<std::size_t>(0, 44));
    }
    switch (field) {
      case 0:
        snapshot.TakeCalType(stored);
        Replace(stored, model.calType.data(), model.calType.size());
        break;
      case 1: {
        const std::size_t recordSize = calibration::RecordSize(snapshot.Kind());
        snapshot.TakeRecord(stored);
        if (recordSize > 0) Replace(stored, model.record.data(), recordSize);
        break;
      }
      case 2:
        snapshot.TakeLTRB(stored);
        Replace(stored, model.ltrb.data(), model.ltrb.size());
        break;
      default:
        snapshot.TakeRotation(stored);
        Replace(stored, model.rotation.data(), model.rotation.size());
        break;
    }
    Check(snapshot.Kind() == static_cast<CalibrationKind>(model.calType[0]));
    Check(snapshot.Record() == model.record);
    Check(snapshot.LTRB() == AsInt(model.ltrb));
    Check(snapshot.Rotation() == AsInt(model.rotation));
  }
  return 0;
}
