// The arithmetic of a calibration. Every double that becomes an integer field is truncated
// toward zero, and only after it has been checked to fit, so that no out-of-range or
// non-finite value is ever converted.
#include "calibration/calibration_math.h"

#include <cmath>
#include <cstring>
#include <limits>
#include <span>

namespace calibration {

namespace {

constexpr double kUnitStep = 1.0 / kUnitRange;  // 2^-15, exact
constexpr double kMirrorLimit = 32767.0;        // the reflection uses 32767, not 32768
constexpr std::int32_t kTargetInset = 20;
constexpr double kSlopeFractionScale = 65536.0;
constexpr double kSlopeIntegerLimit = 65536.0;
constexpr double kWordMax = std::numeric_limits<std::uint16_t>::max();

// Unit positions per pixel of an extent. A zero extent has none; NaN then carries that
// through to the records, which never convert it (see ToWord).
double UnitsPerPixel(std::int64_t extent) {
  if (extent == 0) {
    return std::numeric_limits<double>::quiet_NaN();
  }
  return kUnitRange / static_cast<double>(extent);
}

// Whether the measured words of one axis (0: x, 1: y) of a five-point record are all equal.
bool MeasuredAxisCoincides(const CAL_5PT& record, std::size_t axis) {
  for (std::size_t i = 1; i < kFivePointCount; ++i) {
    if (record.measured[2 * i + axis] != record.measured[axis]) {
      return false;
    }
  }
  return true;
}

// A word of CAL_5PT or CAL_PTS: the value truncated toward zero and saturated to 0..65535.
// Out-of-range values come from points measured off the primary monitor or from a touch
// monitor much narrower than the one the targets were placed on; NaN becomes 0.
std::uint16_t ToWord(double value) {
  if (!(value > 0.0)) {
    return 0;
  }
  if (value >= kWordMax) {
    return std::numeric_limits<std::uint16_t>::max();
  }
  return static_cast<std::uint16_t>(std::trunc(value));
}

// A slope as CAL_COEFF carries it: the sign and the 16.16 magnitude.
struct SlopeField {
  std::uint8_t sign;
  std::uint16_t integer;
  std::uint16_t fraction;
};

bool EncodeSlope(double slope, SlopeField& field) {
  const double magnitude = std::fabs(slope);
  const double whole = std::trunc(magnitude);
  // Also false for NaN and infinity.
  if (!(whole < kSlopeIntegerLimit)) {
    return false;
  }
  field.sign = slope < 0.0 ? 1 : 0;
  field.integer = static_cast<std::uint16_t>(whole);
  // magnitude - whole lies in [0, 1), so the scaled fraction stays below 65536.
  field.fraction =
      static_cast<std::uint16_t>(std::trunc((magnitude - whole) * kSlopeFractionScale));
  return true;
}

bool EncodeOffset(double offset, std::int32_t& out) {
  if (!std::isfinite(offset)) {
    return false;
  }
  const double whole = std::trunc(offset);
  if (whole < static_cast<double>(std::numeric_limits<std::int32_t>::min()) ||
      whole > static_cast<double>(std::numeric_limits<std::int32_t>::max())) {
    return false;
  }
  out = static_cast<std::int32_t>(whole);
  return true;
}

struct Line {
  double slope;
  double offset;
};

// Ordinary least-squares line of the targets against the measured positions of one axis.
// False when all measured positions coincide: the line then has no slope.
bool FitLine(std::span<const double, kFivePointCount> measured,
             std::span<const double, kFivePointCount> target, Line& line) {
  bool allEqual = true;
  for (const double m : measured) {
    allEqual = allEqual && m == measured[0];
  }
  if (allEqual) {
    return false;
  }
  constexpr double kN = kFivePointCount;
  double sumM = 0.0;
  double sumT = 0.0;
  double sumMM = 0.0;
  double sumMT = 0.0;
  for (std::size_t i = 0; i < measured.size(); ++i) {
    sumM += measured[i];
    sumT += target[i];
    sumMM += measured[i] * measured[i];
    sumMT += measured[i] * target[i];
  }
  const double denominator = kN * sumMM - sumM * sumM;
  if (denominator == 0.0) {
    return false;
  }
  line.slope = (kN * sumMT - sumM * sumT) / denominator;
  line.offset = (sumT * sumMM - sumM * sumMT) / denominator;
  return true;
}

// The line through two points of one axis; false when the measured positions coincide.
bool LineThrough(double measured0, double measured1, double target0, double target1, Line& line) {
  if (measured0 == measured1) {
    return false;
  }
  line.slope = (target0 - target1) / (measured0 - measured1);
  line.offset = target0 - line.slope * measured0;
  return true;
}

// Measured and pixel positions of the set of `pointCount` points; empty for other counts.
std::span<PointD> MeasuredSet(CalibrationData& data, int pointCount) {
  if (pointCount == kTwoPointCount) {
    return data.twoPointMeasured;
  }
  if (pointCount == kFivePointCount) {
    return data.fivePointMeasured;
  }
  return {};
}

std::span<PointD> PixelSet(CalibrationData& data, int pointCount) {
  if (pointCount == kTwoPointCount) {
    return data.twoPointPixels;
  }
  if (pointCount == kFivePointCount) {
    return data.fivePointPixels;
  }
  return {};
}

PointD Centre(std::int64_t left, std::int64_t top, std::int64_t right, std::int64_t bottom) {
  // Integer halves truncate toward zero; 64 bits keep the sums from overflowing.
  const std::int64_t x = (left + right) / 2;
  const std::int64_t y = (top + bottom) / 2;
  return {static_cast<double>(x), static_cast<double>(y)};
}

// The orientation of a five-point calibration: cable connection, then the rotation from the
// points as measured, then the mirror correction when the panel is mirrored.
void CorrectOrientation(CalibrationData& data) {
  data.CheckHandedness();
  data.DetectRotation();
  if (data.cableConnection == kCableBRTL) {
    data.MirrorPoints();
  }
}

}  // namespace

void CalibrationData::PlaceTargets(const MonitorRect& touchMonitor) {
  const std::int64_t left = touchMonitor.left;
  const std::int64_t top = touchMonitor.top;
  const std::int64_t right = touchMonitor.right;
  const std::int64_t bottom = touchMonitor.bottom;
  const auto at = [](std::int64_t x, std::int64_t y) {
    return PointD{static_cast<double>(x), static_cast<double>(y)};
  };
  const PointD topLeft = at(left + kTargetInset, top + kTargetInset);
  const PointD topRight = at(right - kTargetInset, top + kTargetInset);
  const PointD bottomRight = at(right - kTargetInset, bottom - kTargetInset);
  const PointD bottomLeft = at(left + kTargetInset, bottom - kTargetInset);

  twoPointTargets = {topLeft, bottomRight};
  fivePointTargets = {Centre(left, top, right, bottom), topLeft, topRight, bottomRight, bottomLeft};
}

void CalibrationData::CollectPoint(int index, int pointCount, PointD meanPixel,
                                   const MonitorRect& primary) {
  const std::span<PointD> measured = MeasuredSet(*this, pointCount);
  const std::span<PointD> pixels = PixelSet(*this, pointCount);
  if (index < 0 || static_cast<std::size_t>(index) >= measured.size()) {
    return;
  }
  const auto i = static_cast<std::size_t>(index);
  // Relative to the primary monitor's extent only: its left and top are not subtracted.
  const auto width = static_cast<double>(primary.Width());
  const auto height = static_cast<double>(primary.Height());
  measured[i] = {
      width == 0.0 ? std::numeric_limits<double>::quiet_NaN() : meanPixel.x / width * kUnitRange,
      height == 0.0 ? std::numeric_limits<double>::quiet_NaN() : meanPixel.y / height * kUnitRange};
  pixels[i] = meanPixel;
}

// Types 1 and 2 update coefficients and the first 18 bytes of recordBuffer, type 3 all 40
// bytes. On false both keep their previous values, but what ran before the failing step
// stays done: the pixel scale and the measured positions recomputed from the pixels
// (types 1, 2) and the orientation with its mirror correction (type 2). A type other than
// 1, 2 or 3 computes nothing and gives false, so that no record is sent for it.
bool CalibrationData::ComputeCalibration(const MonitorRect& primary, const MonitorRect& touch) {
  if (calType == kCalTypeFivePoint) {
    CorrectOrientation(*this);
    const double perPixelX = UnitsPerPixel(touch.Width());
    const double perPixelY = UnitsPerPixel(touch.Height());
    CAL_5PT record{};
    for (std::size_t i = 0; i < fivePointTargets.size(); ++i) {
      record.targets[2 * i] = ToWord(fivePointTargets[i].x * perPixelX);
      record.targets[2 * i + 1] = ToWord(fivePointTargets[i].y * perPixelY);
      record.measured[2 * i] = ToWord(fivePointMeasured[i].x);
      record.measured[2 * i + 1] = ToWord(fivePointMeasured[i].y);
    }
    if (MeasuredAxisCoincides(record, 0) || MeasuredAxisCoincides(record, 1)) {
      return false;
    }
    static_assert(sizeof(record) == sizeof(recordBuffer));
    std::memcpy(recordBuffer.data(), &record, sizeof(record));
    return true;
  }

  if (calType != kCalTypeTwoPoint && calType != kCalTypeFivePointLinear) {
    return false;
  }

  pixelScale = {static_cast<double>(primary.Width()) * kUnitStep,
                static_cast<double>(primary.Height()) * kUnitStep};
  if (pixelScale[0] == 0.0 || pixelScale[1] == 0.0) {
    return false;
  }
  const int pointCount = calType == kCalTypeTwoPoint ? kTwoPointCount : kFivePointCount;
  const std::span<PointD> measured = MeasuredSet(*this, pointCount);
  const std::span<const PointD> pixels = PixelSet(*this, pointCount);
  for (std::size_t i = 0; i < measured.size(); ++i) {
    measured[i] = {pixels[i].x / pixelScale[0], pixels[i].y / pixelScale[1]};
  }

  Line lineX{};
  Line lineY{};
  if (calType == kCalTypeTwoPoint) {
    const double target0X = twoPointTargets[0].x / pixelScale[0];
    const double target1X = twoPointTargets[1].x / pixelScale[0];
    const double target0Y = twoPointTargets[0].y / pixelScale[1];
    const double target1Y = twoPointTargets[1].y / pixelScale[1];
    if (!LineThrough(measured[0].x, measured[1].x, target0X, target1X, lineX) ||
        !LineThrough(measured[0].y, measured[1].y, target0Y, target1Y, lineY)) {
      return false;
    }
  } else {
    CorrectOrientation(*this);
    std::array<double, kFivePointCount> measuredX{};
    std::array<double, kFivePointCount> measuredY{};
    std::array<double, kFivePointCount> targetX{};
    std::array<double, kFivePointCount> targetY{};
    for (std::size_t i = 0; i < kFivePointCount; ++i) {
      measuredX[i] = fivePointMeasured[i].x;
      measuredY[i] = fivePointMeasured[i].y;
      targetX[i] = fivePointTargets[i].x / pixelScale[0];
      targetY[i] = fivePointTargets[i].y / pixelScale[1];
    }
    if (!FitLine(measuredX, targetX, lineX) || !FitLine(measuredY, targetY, lineY)) {
      return false;
    }
  }

  CAL_COEFF record{};
  if (!EncodeCalCoeff(lineX.slope, lineX.offset, lineY.slope, lineY.offset, record)) {
    return false;
  }
  coefficients = {lineX.slope, lineX.offset, lineY.slope, lineY.offset};
  std::memcpy(recordBuffer.data(), &record, sizeof(record));
  return true;
}

void CalibrationData::CheckHandedness() {
  const PointD centre = fivePointMeasured[0];
  std::array<PointD, kFivePointCount - 1> offsets{};
  for (std::size_t i = 0; i < offsets.size(); ++i) {
    offsets[i] = {fivePointMeasured[i + 1].x - centre.x, fivePointMeasured[i + 1].y - centre.y};
  }
  // Cross product of each offset with the next one around the centre (c12, c23, c34, c41).
  bool allNegative = true;
  for (std::size_t i = 0; i < offsets.size(); ++i) {
    const PointD& a = offsets[i];
    const PointD& b = offsets[(i + 1) % offsets.size()];
    allNegative = allNegative && (a.x * b.y - b.x * a.y) < 0.0;
  }
  cableConnection = allNegative ? kCableBRTL : kCableLTRB;
}

void CalibrationData::DetectRotation() {
  const PointD centre = fivePointMeasured[0];
  const PointD topLeft = fivePointMeasured[1];
  const bool mirrored = cableConnection == kCableBRTL;
  if (topLeft.x < centre.x && topLeft.y < centre.y) {
    rotation = mirrored ? 180 : 0;
  } else if (topLeft.x > centre.x && topLeft.y < centre.y) {
    rotation = 90;
  } else if (topLeft.x > centre.x && topLeft.y > centre.y) {
    rotation = mirrored ? 0 : 180;
  } else if (topLeft.x < centre.x && topLeft.y > centre.y) {
    rotation = 270;
  } else {
    rotation = 0;
  }
}

void CalibrationData::MirrorPoints() {
  for (PointD& point : fivePointMeasured) {
    point = {kMirrorLimit - point.y, kMirrorLimit - point.x};
  }
}

void CalibrationData::ExchangeAndReversePixels(int pointCount, const MonitorRect& touch) {
  const std::span<const PointD> measured = MeasuredSet(*this, pointCount);
  const std::span<PointD> pixels = PixelSet(*this, pointCount);
  const auto width = static_cast<double>(touch.Width());
  const auto height = static_cast<double>(touch.Height());
  for (std::size_t i = 0; i < measured.size(); ++i) {
    pixels[i] = {(1.0 - measured[i].y * kUnitStep) * width,
                 (1.0 - measured[i].x * kUnitStep) * height};
  }
}

CAL_PTS CalibrationData::DefaultPoints(const MonitorRect& touch) const {
  // The factors first, then the products, as the five-point record does.
  const double perPixelX = UnitsPerPixel(touch.Width());
  const double perPixelY = UnitsPerPixel(touch.Height());
  CAL_PTS points{};
  for (std::size_t i = 0; i < fivePointTargets.size(); ++i) {
    points.targets[2 * i] = ToWord(fivePointTargets[i].x * perPixelX);
    points.targets[2 * i + 1] = ToWord(fivePointTargets[i].y * perPixelY);
  }
  return points;
}

bool EncodeCalCoeff(double ax, double bx, double ay, double by, CAL_COEFF& out) {
  // Encoded into locals first: the record is packed, so its fields cannot be bound to
  // references, and `out` stays as it was when anything does not fit.
  SlopeField slopeX{};
  SlopeField slopeY{};
  std::int32_t offsetX = 0;
  std::int32_t offsetY = 0;
  if (!EncodeSlope(ax, slopeX) || !EncodeSlope(ay, slopeY) || !EncodeOffset(bx, offsetX) ||
      !EncodeOffset(by, offsetY)) {
    return false;
  }
  out.xSign = slopeX.sign;
  out.ySign = slopeY.sign;
  out.xSlopeInteger = slopeX.integer;
  out.xSlopeFraction = slopeX.fraction;
  out.xOffset = offsetX;
  out.ySlopeInteger = slopeY.integer;
  out.ySlopeFraction = slopeY.fraction;
  out.yOffset = offsetY;
  return true;
}

HoldStatistics ComputeHoldStatistics(const std::array<std::int32_t, kHoldSamples>& xs,
                                     const std::array<std::int32_t, kHoldSamples>& ys) {
  constexpr double kMeanFactor = 0.2;
  constexpr double kSpreadFactor = 0.25;
  const auto mean = [](const std::array<std::int32_t, kHoldSamples>& samples) {
    std::int64_t sum = 0;  // five 32-bit samples cannot overflow 64 bits
    for (const std::int32_t s : samples) {
      sum += s;
    }
    return static_cast<double>(sum) * kMeanFactor;
  };
  const auto spread = [](const std::array<std::int32_t, kHoldSamples>& samples, double m) {
    double sum = 0.0;
    for (const std::int32_t s : samples) {
      const double deviation = static_cast<double>(s) - m;
      sum += deviation * deviation;
    }
    return sum * kSpreadFactor;
  };
  const double meanX = mean(xs);
  const double meanY = mean(ys);
  return {meanX, meanY, spread(xs, meanX), spread(ys, meanY)};
}

bool IsSteadyHold(const HoldStatistics& stats) {
  return stats.spreadX < kSteadySpreadLimit && stats.spreadY < kSteadySpreadLimit;
}

}  // namespace calibration
