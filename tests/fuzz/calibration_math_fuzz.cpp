// Fuzz target: the calibration arithmetic with arbitrary monitor rectangles, collected points,
// measured positions, types and coefficients. The sanitizers check every integer and
// float-to-integer conversion; the target checks that a refused result leaves the record as
// it was and that an accepted five-point record never has coinciding measured words on an axis.
#include <fuzzer/FuzzedDataProvider.h>

#include <array>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "calibration/calibration_math.h"

namespace {

using calibration::CalibrationData;
using calibration::MonitorRect;

void Check(bool holds) {
  if (!holds) std::abort();
}

MonitorRect Rect(FuzzedDataProvider& input) {
  return {input.ConsumeIntegral<std::int32_t>(), input.ConsumeIntegral<std::int32_t>(),
          input.ConsumeIntegral<std::int32_t>(), input.ConsumeIntegral<std::int32_t>()};
}

bool AxisCoincides(const CAL_5PT& record, std::size_t axis) {
  for (std::size_t i = 1; i < calibration::kFivePointCount; ++i) {
    if (record.measured[2 * i + axis] != record.measured[axis]) return false;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  CalibrationData cal;
  cal.calType = input.ConsumeIntegralInRange<std::uint8_t>(0, 4);
  const MonitorRect primary = Rect(input);
  const MonitorRect touch = input.ConsumeBool() ? primary : Rect(input);
  cal.PlaceTargets(touch);
  const int count =
      input.ConsumeBool() ? calibration::kTwoPointCount : calibration::kFivePointCount;
  for (int i = 0; i < count; ++i) {
    cal.CollectPoint(i, count,
                     {input.ConsumeFloatingPoint<double>(), input.ConsumeFloatingPoint<double>()},
                     primary);
  }
  if (input.ConsumeBool()) {
    for (auto& point : cal.fivePointMeasured) {
      point = {input.ConsumeFloatingPoint<double>(), input.ConsumeFloatingPoint<double>()};
    }
  }
  cal.cableConnection = input.ConsumeIntegral<std::int32_t>();

  const auto before = cal.recordBuffer;
  const bool computed = cal.ComputeCalibration(primary, touch);
  if (!computed) Check(cal.recordBuffer == before);
  if (computed && cal.calType == kCalTypeFivePoint) {
    CAL_5PT record{};
    std::memcpy(&record, cal.recordBuffer.data(), sizeof(record));
    Check(!AxisCoincides(record, 0) && !AxisCoincides(record, 1));
  }

  cal.ExchangeAndReversePixels(count, touch);
  cal.ComputeCalibration(primary, touch);
  static_cast<void>(cal.DefaultPoints(touch));

  CAL_COEFF coeff{};
  static_cast<void>(calibration::EncodeCalCoeff(
      input.ConsumeFloatingPoint<double>(), input.ConsumeFloatingPoint<double>(),
      input.ConsumeFloatingPoint<double>(), input.ConsumeFloatingPoint<double>(), coeff));

  std::array<std::int32_t, calibration::kHoldSamples> xs{};
  std::array<std::int32_t, calibration::kHoldSamples> ys{};
  for (std::size_t i = 0; i < xs.size(); ++i) {
    xs[i] = input.ConsumeIntegral<std::int32_t>();
    ys[i] = input.ConsumeIntegral<std::int32_t>();
  }
  static_cast<void>(calibration::IsSteadyHold(calibration::ComputeHoldStatistics(xs, ys)));
  return 0;
}
