// The arithmetic of a calibration: target placement, collected points, the linear and
// five-point records, the panel orientation. Portable: no Windows header.
#pragma once

#include <array>
#include <cstdint>

#include "../driver_link/tessaro_driver.h"

namespace calibration {

struct PointD {
  double x;
  double y;
};

// A monitor rectangle in virtual-desktop pixels (left, top, right, bottom).
struct MonitorRect {
  std::int32_t left;
  std::int32_t top;
  std::int32_t right;
  std::int32_t bottom;
  // In 64 bits: the extent of two arbitrary 32-bit edges does not fit 32 bits.
  std::int64_t Width() const { return std::int64_t{right} - left; }
  std::int64_t Height() const { return std::int64_t{bottom} - top; }
};

// A calibration type as the driver and the "CalType" setting number it. A stored value may be
// any byte; only the three known kinds have a record.
enum class CalibrationKind : std::uint8_t {
  kTwoPoint = kCalTypeTwoPoint,
  kFivePointLinear = kCalTypeFivePointLinear,
  kFivePoint = kCalTypeFivePoint,
};

// Types 1 and 2: a linear calibration, sent and stored as CAL_COEFF.
constexpr bool IsLinear(CalibrationKind kind) {
  return kind == CalibrationKind::kTwoPoint || kind == CalibrationKind::kFivePointLinear;
}
// Types 2 and 3: five measured points, an orientation, LTRB and Rotation.
constexpr bool MeasuresFivePoints(CalibrationKind kind) {
  return kind == CalibrationKind::kFivePointLinear || kind == CalibrationKind::kFivePoint;
}

constexpr int kTwoPointCount = 2;
constexpr int kFivePointCount = 5;
constexpr double kUnitRange = 32768.0;

// The calibration state that the calibration screen carries between the points it collects
// and the records it sends. Field meanings and units follow the calibration screen.
struct CalibrationData {
  std::uint8_t calType = kCalTypeTwoPoint;
  std::array<PointD, kTwoPointCount> twoPointTargets{};
  std::array<PointD, kFivePointCount> fivePointTargets{};
  std::array<PointD, kTwoPointCount> twoPointMeasured{};
  std::array<PointD, kTwoPointCount> twoPointPixels{};
  std::array<PointD, kFivePointCount> fivePointMeasured{};
  std::array<PointD, kFivePointCount> fivePointPixels{};
  std::array<double, 2> pixelScale{};
  std::array<double, 4> coefficients{};  // a_x, b_x, a_y, b_y
  std::array<std::uint8_t, 40> recordBuffer{};
  std::int32_t cableConnection = kCableLTRB;
  std::int32_t rotation = 0;

  // Target centres from the touch monitor: two-point top-left and bottom-right, 20 pixels in;
  // five-point centre, top-left, top-right, bottom-right, bottom-left.
  void PlaceTargets(const MonitorRect& touchMonitor);

  // Records the accepted mean cursor position of target `index` in the set of `pointCount`
  // points (2 or 5): its unit position over the primary monitor's extent, and its pixels.
  void CollectPoint(int index, int pointCount, PointD meanPixel, const MonitorRect& primary);

  // Computes the record of calType into recordBuffer. Returns false, leaving recordBuffer
  // unchanged, when the result is not finite or does not fit its record (coinciding points),
  // and for a five-point record whose measured words coincide on an axis (all x or all y
  // equal, saturated ones included): the driver could fit no transform to it.
  bool ComputeCalibration(const MonitorRect& primary, const MonitorRect& touch);

  // Cable connection from the four cross products around the centre point.
  void CheckHandedness();
  // Rotation from point 0 (centre) and point 1 (top-left), before any mirroring.
  void DetectRotation();
  // Exchanges and reflects the five measured points: x' = 32767 - y, y' = 32767 - x.
  void MirrorPoints();

  // Rebuilds the pixel positions of the current set from its measured positions with the axes
  // exchanged and reversed (the Modify step of the check dialog).
  void ExchangeAndReversePixels(int pointCount, const MonitorRect& touch);

  // The ten default-point words from the five-point targets and the touch monitor.
  CAL_PTS DefaultPoints(const MonitorRect& touch) const;
};

// Encodes a linear calibration. Returns false when a coefficient is not finite or does not fit
// its field (slope magnitude below 65536, offset within a signed 32-bit integer).
bool EncodeCalCoeff(double ax, double bx, double ay, double by, CAL_COEFF& out);

// Mean and spread (sum of squared deviations times 0.25) per axis of one hold window.
struct HoldStatistics {
  double meanX;
  double meanY;
  double spreadX;
  double spreadY;
};

constexpr int kHoldSamples = 5;
constexpr double kSteadySpreadLimit = 8.0;

HoldStatistics ComputeHoldStatistics(const std::array<std::int32_t, kHoldSamples>& xs,
                                     const std::array<std::int32_t, kHoldSamples>& ys);
// A hold is steady when both spreads are strictly below 8.0.
bool IsSteadyHold(const HoldStatistics& stats);

}  // namespace calibration
