// Native tests of the calibration arithmetic: targets, collected points, the CAL_COEFF,
// CAL_5PT and CAL_PTS records byte for byte, the panel orientation and hold detection.
#include "calibration/calibration_math.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <span>
#include <string>
#include <utility>
#include <vector>

namespace calibration {
namespace {

using Bytes18 = std::array<std::uint8_t, 18>;
using Words10 = std::array<std::uint16_t, 10>;
using Points2 = std::array<PointD, kTwoPointCount>;
using Points5 = std::array<PointD, kFivePointCount>;

constexpr MonitorRect kScreen{0, 0, 1024, 768};
// A second monitor of another size, right of the primary one.
constexpr MonitorRect kOtherMonitor{1024, 0, 1824, 600};
constexpr std::uint8_t kSentinel = 0xAA;
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// The default points of a 1024 x 768 monitor that carries the touch panel.
constexpr Words10 kDefaultWords{16384, 16384, 640, 853, 32128, 853, 32128, 31914, 640, 31914};
constexpr Bytes18 kNeutralBytes{0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0};

// Little-endian bytes of a sequence of words, built independently of the record structures.
template <std::size_t N>
std::array<std::uint8_t, 2 * N> LittleEndian(const std::array<std::uint16_t, N>& words) {
  std::array<std::uint8_t, 2 * N> bytes{};
  for (std::size_t i = 0; i < N; ++i) {
    bytes[2 * i] = static_cast<std::uint8_t>(words[i] & 0xFFU);
    bytes[2 * i + 1] = static_cast<std::uint8_t>(words[i] >> 8U);
  }
  return bytes;
}

template <std::size_t N, typename Record>
std::array<std::uint8_t, N> RawBytes(const Record& record) {
  static_assert(sizeof(Record) >= N);
  std::array<std::uint8_t, N> bytes{};
  std::memcpy(bytes.data(), &record, N);
  return bytes;
}

// A record buffer that no computation has written.
std::array<std::uint8_t, 40> UntouchedBuffer() {
  std::array<std::uint8_t, 40> buffer{};
  buffer.fill(kSentinel);
  return buffer;
}

// The expected record buffer: `record` at its start, the untouched sentinel after it.
template <std::size_t N>
std::array<std::uint8_t, 40> BufferWith(const std::array<std::uint8_t, N>& record) {
  std::array<std::uint8_t, 40> buffer = UntouchedBuffer();
  std::memcpy(buffer.data(), record.data(), N);
  return buffer;
}

std::array<std::uint8_t, 40> FivePointRecordBytes(const Words10& targets, const Words10& measured) {
  std::array<std::uint16_t, 20> words{};
  std::memcpy(words.data(), targets.data(), sizeof(targets));
  std::memcpy(words.data() + targets.size(), measured.data(), sizeof(measured));
  return LittleEndian(words);
}

std::vector<std::pair<double, double>> Pairs(std::span<const PointD> points) {
  std::vector<std::pair<double, double>> pairs;
  pairs.reserve(points.size());
  for (const PointD& p : points) {
    pairs.emplace_back(p.x, p.y);
  }
  return pairs;
}

// Calibration state with targets placed on `targetsOn` and a record buffer of sentinels, so
// that every byte a computation writes or leaves is visible.
CalibrationData MakeData(std::uint8_t type, const MonitorRect& targetsOn = kScreen) {
  CalibrationData data;
  data.calType = type;
  data.PlaceTargets(targetsOn);
  data.recordBuffer.fill(kSentinel);
  return data;
}

template <std::size_t N>
void CollectAll(CalibrationData& data, const std::array<PointD, N>& pixels,
                const MonitorRect& primary) {
  for (std::size_t i = 0; i < N; ++i) {
    data.CollectPoint(static_cast<int>(i), static_cast<int>(N), pixels[i], primary);
  }
}

// ---------------------------------------------------------------------------------------------
// Target placement

TEST(TargetPlacement, TwoAndFivePointTargetsFollowTheTouchMonitor) {
  struct Case {
    std::string name;
    MonitorRect monitor;
    Points2 twoPoint;
    Points5 fivePoint;
  };
  const std::vector<Case> cases = {
      {"primary 1024 x 768",
       kScreen,
       {{{20, 20}, {1004, 748}}},
       {{{512, 384}, {20, 20}, {1004, 20}, {1004, 748}, {20, 748}}}},
      {"monitor left of the primary",
       {-1024, 0, 0, 768},
       {{{-1004, 20}, {-20, 748}}},
       {{{-512, 384}, {-1004, 20}, {-20, 20}, {-20, 748}, {-1004, 748}}}},
      // (-1023 + 0) / 2 truncates toward zero to -511, not down to -512.
      {"odd negative sums truncate toward zero",
       {-1023, -1, 0, 766},
       {{{-1003, 19}, {-20, 746}}},
       {{{-511, 382}, {-1003, 19}, {-20, 19}, {-20, 746}, {-1003, 746}}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CalibrationData data;
    data.PlaceTargets(c.monitor);
    EXPECT_EQ(Pairs(data.twoPointTargets), Pairs(c.twoPoint));
    EXPECT_EQ(Pairs(data.fivePointTargets), Pairs(c.fivePoint));
  }
}

// ---------------------------------------------------------------------------------------------
// Collected points

TEST(CollectedPoints, UnitsOverThePrimaryExtentGoIntoTheSelectedSet) {
  struct Case {
    std::string name;
    int index;
    int pointCount;
    PointD pixel;
    MonitorRect primary;
    PointD measured;
  };
  const std::vector<Case> cases = {
      {"two-point bottom-right", 1, 2, {1004, 748}, kScreen, {32128, 748.0 / 768.0 * 32768.0}},
      {"five-point bottom-left", 4, 5, {20, 748}, kScreen, {640, 748.0 / 768.0 * 32768.0}},
      // Only the extent counts: the primary monitor's left and top are not subtracted.
      {"primary not at the origin", 0, 5, {512, 384}, {-200, -100, 824, 668}, {16384, 16384}},
      {"outside the primary monitor", 0, 2, {2048, -768}, kScreen, {65536, -32768}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CalibrationData data;
    data.CollectPoint(c.index, c.pointCount, c.pixel, c.primary);

    const bool twoPoint = c.pointCount == kTwoPointCount;
    const std::span<const PointD> measured =
        twoPoint ? std::span<const PointD>(data.twoPointMeasured) : data.fivePointMeasured;
    const std::span<const PointD> pixels =
        twoPoint ? std::span<const PointD>(data.twoPointPixels) : data.fivePointPixels;
    const auto i = static_cast<std::size_t>(c.index);
    EXPECT_DOUBLE_EQ(measured[i].x, c.measured.x);
    EXPECT_DOUBLE_EQ(measured[i].y, c.measured.y);
    EXPECT_EQ(pixels[i].x, c.pixel.x);
    EXPECT_EQ(pixels[i].y, c.pixel.y);

    // The other set stays empty.
    const std::span<const PointD> otherMeasured =
        twoPoint ? std::span<const PointD>(data.fivePointMeasured) : data.twoPointMeasured;
    for (const PointD& p : otherMeasured) {
      EXPECT_EQ(p.x, 0.0);
      EXPECT_EQ(p.y, 0.0);
    }
  }
}

TEST(CollectedPoints, IndexOrCountOutsideTheSetIsIgnored) {
  struct Case {
    int index;
    int pointCount;
  };
  const std::vector<Case> cases = {{2, 2}, {5, 5}, {-1, 2}, {-1, 5}, {0, 3}, {0, 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE("index " + std::to_string(c.index) + " of " + std::to_string(c.pointCount));
    CalibrationData data;
    data.CollectPoint(c.index, c.pointCount, {500, 400}, kScreen);
    const Points2 empty2{};
    const Points5 empty5{};
    EXPECT_EQ(Pairs(data.twoPointMeasured), Pairs(empty2));
    EXPECT_EQ(Pairs(data.twoPointPixels), Pairs(empty2));
    EXPECT_EQ(Pairs(data.fivePointMeasured), Pairs(empty5));
    EXPECT_EQ(Pairs(data.fivePointPixels), Pairs(empty5));
  }
}

// ---------------------------------------------------------------------------------------------
// CAL_COEFF encoding

TEST(CalCoeffEncoding, FieldsAreSignMagnitudeAndTruncatedOffsets) {
  struct Case {
    std::string name;
    double ax, bx, ay, by;
    Bytes18 bytes;
  };
  const std::vector<Case> cases = {
      {"neutral", 1.0, 0.0, 1.0, 0.0, kNeutralBytes},
      {"slope 1.25 and offset -100.7",
       1.25,
       -100.7,
       1.0,
       0.0,
       {0, 0, 0x01, 0x00, 0x00, 0x40, 0x9C, 0xFF, 0xFF, 0xFF, 0x01, 0x00, 0x00, 0x00, 0, 0, 0, 0}},
      {"negative slopes set the signs, offsets truncate toward zero",
       -1.25,
       100.7,
       -0.5,
       -0.2,
       {1, 1, 0x01, 0x00, 0x00, 0x40, 0x64, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x80, 0, 0, 0, 0}},
      // -0.0 is not negative; the largest magnitudes that still fit their fields.
      {"field limits",
       65535.75,
       2147483647.9,
       -0.0,
       -2147483648.9,
       {0, 0, 0xFF, 0xFF, 0x00, 0xC0, 0xFF, 0xFF, 0xFF, 0x7F, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
        0x00, 0x80}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CAL_COEFF record{};
    ASSERT_TRUE(EncodeCalCoeff(c.ax, c.bx, c.ay, c.by, record));
    EXPECT_EQ(RawBytes<18>(record), c.bytes);
  }
}

TEST(CalCoeffEncoding, ValuesThatDoNotFitAreRefusedAndLeaveTheRecord) {
  constexpr double kInf = std::numeric_limits<double>::infinity();
  struct Case {
    std::string name;
    double ax, bx, ay, by;
  };
  const std::vector<Case> cases = {
      {"x slope 65536", 65536.0, 0, 1, 0},      {"y slope -65536", 1, 0, -65536.0, 0},
      {"x offset 2^31", 1, 2147483648.0, 1, 0}, {"y offset below -2^31", 1, 0, 1, -2147483649.0},
      {"x slope NaN", kNaN, 0, 1, 0},           {"y slope -inf", 1, 0, -kInf, 0},
      {"x offset inf", 1, kInf, 1, 0},          {"y offset NaN", 1, 0, 1, kNaN},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CAL_COEFF record{};
    std::memset(&record, kSentinel, sizeof(record));
    const auto before = RawBytes<18>(record);
    EXPECT_FALSE(EncodeCalCoeff(c.ax, c.bx, c.ay, c.by, record));
    EXPECT_EQ(RawBytes<18>(record), before);
  }
}

// ---------------------------------------------------------------------------------------------
// Two-point calibration (type 1)

TEST(TwoPointCalibration, RecordFromTheTwoHeldPoints) {
  struct Case {
    std::string name;
    Points2 pixels;
    Bytes18 bytes;
    std::array<double, 4> coefficients;
  };
  const std::vector<Case> cases = {
      {"points on the targets", {{{20, 20}, {1004, 748}}}, kNeutralBytes, {1, 0, 1, 0}},
      // x measured 32128 then 640: a_x = -1, b_x = 32768.
      {"x measurements exchanged",
       {{{1004, 20}, {20, 748}}},
       {1, 0, 0x01, 0x00, 0x00, 0x00, 0x00, 0x80, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0, 0, 0, 0},
       {-1, 32768, 1, 0}},
      // x measured 8512 and 24256 for targets 640 and 32128: a_x = 2, b_x = -16384.
      {"x scaled by one half",
       {{{266, 20}, {758, 748}}},
       {0, 0, 0x02, 0x00, 0x00, 0x00, 0x00, 0xC0, 0xFF, 0xFF, 0x01, 0x00, 0x00, 0x00, 0, 0, 0, 0},
       {2, -16384, 1, 0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CalibrationData data = MakeData(kCalTypeTwoPoint);
    data.cableConnection = kCableBRTL;
    data.rotation = 270;
    CollectAll(data, c.pixels, kScreen);

    // The touch monitor differs from the primary one: types 1 and 2 scale by the primary.
    ASSERT_TRUE(data.ComputeCalibration(kScreen, kOtherMonitor));
    EXPECT_EQ(data.recordBuffer, BufferWith(c.bytes));
    EXPECT_EQ(data.coefficients, c.coefficients);
    // A two-point calibration detects no orientation.
    EXPECT_EQ(data.cableConnection, kCableBRTL);
    EXPECT_EQ(data.rotation, 270);
  }
}

TEST(TwoPointCalibration, MeasuredPositionsAreRecomputedFromThePixels) {
  CalibrationData data = MakeData(kCalTypeTwoPoint);
  data.twoPointPixels = {{{20, 20}, {1004, 748}}};
  data.twoPointMeasured = {{{1, 2}, {3, 4}}};  // stale: must not be used
  ASSERT_TRUE(data.ComputeCalibration(kScreen, kScreen));

  EXPECT_EQ(data.pixelScale, (std::array<double, 2>{1024.0 / 32768.0, 768.0 / 32768.0}));
  EXPECT_DOUBLE_EQ(data.twoPointMeasured[0].x, 640.0);
  EXPECT_DOUBLE_EQ(data.twoPointMeasured[0].y, 20.0 * 32768.0 / 768.0);
  EXPECT_DOUBLE_EQ(data.twoPointMeasured[1].x, 32128.0);
  EXPECT_DOUBLE_EQ(data.twoPointMeasured[1].y, 748.0 * 32768.0 / 768.0);
  EXPECT_EQ(data.recordBuffer, BufferWith(kNeutralBytes));
}

TEST(TwoPointCalibration, DegenerateOrUnfittingPointsLeaveTheRecord) {
  struct Case {
    std::string name;
    MonitorRect primary;
    Points2 pixels;
  };
  const std::vector<Case> cases = {
      {"x coincide", kScreen, {{{512, 20}, {512, 748}}}},
      {"y coincide", kScreen, {{{20, 384}, {1004, 384}}}},
      // 0.32 units apart in x for 31488 units of target: slope 98400.
      {"slope beyond 16 bits", kScreen, {{{512.0, 20}, {512.01, 748}}}},
      // Slope about 61500 fits, but the offset is about -4.03e9.
      {"offset beyond 32 bits", kScreen, {{{2048.0, 20}, {2048.016, 748}}}},
      {"primary of zero width", {0, 0, 0, 768}, {{{20, 20}, {1004, 748}}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CalibrationData data = MakeData(kCalTypeTwoPoint);
    data.coefficients = {9, 9, 9, 9};
    data.twoPointPixels = c.pixels;
    EXPECT_FALSE(data.ComputeCalibration(c.primary, kScreen));
    EXPECT_EQ(data.recordBuffer, UntouchedBuffer());
    EXPECT_EQ(data.coefficients, (std::array<double, 4>{9, 9, 9, 9}));
  }
}

// ---------------------------------------------------------------------------------------------
// Five-point linear calibration (type 2)

TEST(FivePointLinearCalibration, LeastSquaresLineAfterTheOrientation) {
  struct Case {
    std::string name;
    MonitorRect monitor;  // primary, touch and the monitor the targets are placed on
    Points5 pixels;
    Bytes18 bytes;
    std::array<double, 4> coefficients;
    std::int32_t cable;
    std::int32_t rotation;
  };
  const std::vector<Case> cases = {
      {"exact fit",
       kScreen,
       {{{512, 384}, {20, 20}, {1004, 20}, {1004, 748}, {20, 748}}},
       kNeutralBytes,
       {1, 0, 1, 0},
       kCableLTRB,
       0},
      // On 1024 x 512: pixel x = target x / 2 + 16, pixel y = 2 * target y - 8, so
      // X = 2 x - 1024 and Y = y / 2 + 256.
      {"scaled axes",
       {0, 0, 1024, 512},
       {{{272, 504}, {26, 32}, {518, 32}, {518, 976}, {26, 976}}},
       {0, 0, 0x02, 0x00, 0x00, 0x00, 0x00, 0xFC, 0xFF, 0xFF, 0x00, 0x00, 0x00, 0x80, 0x00, 0x01,
        0x00, 0x00},
       {2, -1024, 0.5, 256},
       kCableLTRB,
       0},
      // x and y exchanged on 1024 x 1024: mirrored, so the points are reflected to
      // x' = 32767 - X and y' = 32767 - Y before the fit, giving slopes -1 and offsets 32767.
      {"axes exchanged",
       {0, 0, 1024, 1024},
       {{{512, 512}, {20, 20}, {20, 1004}, {1004, 1004}, {1004, 20}}},
       {1, 1, 0x01, 0x00, 0x00, 0x00, 0xFF, 0x7F, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0xFF, 0x7F,
        0x00, 0x00},
       {-1, 32767, -1, 32767},
       kCableBRTL,
       180},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CalibrationData data = MakeData(kCalTypeFivePointLinear, c.monitor);
    CollectAll(data, c.pixels, c.monitor);
    ASSERT_TRUE(data.ComputeCalibration(c.monitor, c.monitor));
    EXPECT_EQ(data.recordBuffer, BufferWith(c.bytes));
    EXPECT_EQ(data.coefficients, c.coefficients);
    EXPECT_EQ(data.cableConnection, c.cable);
    EXPECT_EQ(data.rotation, c.rotation);
  }
}

TEST(FivePointLinearCalibration, CoincidingPointsOnAnAxisLeaveTheRecord) {
  struct Case {
    std::string name;
    Points5 pixels;
  };
  const std::vector<Case> cases = {
      {"all five equal", {{{512, 384}, {512, 384}, {512, 384}, {512, 384}, {512, 384}}}},
      {"all x equal", {{{512, 384}, {512, 20}, {512, 20}, {512, 748}, {512, 748}}}},
      {"all y equal", {{{512, 384}, {20, 384}, {1004, 384}, {1004, 384}, {20, 384}}}},
      // Values whose sums do not cancel exactly in floating point.
      {"all x equal, inexact", {{{0.1, 384}, {0.1, 20}, {0.1, 20}, {0.1, 748}, {0.1, 748}}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CalibrationData data = MakeData(kCalTypeFivePointLinear);
    data.coefficients = {9, 9, 9, 9};
    data.fivePointPixels = c.pixels;
    EXPECT_FALSE(data.ComputeCalibration(kScreen, kScreen));
    EXPECT_EQ(data.recordBuffer, UntouchedBuffer());
    EXPECT_EQ(data.coefficients, (std::array<double, 4>{9, 9, 9, 9}));
  }
}

// ---------------------------------------------------------------------------------------------
// Five-point calibration (type 3)

TEST(FivePointCalibration, OrientationAndReflectedPointsInTheRecord) {
  // Measured positions on 1024 x 768 that run like the targets.
  const Points5 base{{{16384, 16384}, {640, 853}, {32128, 853}, {32128, 31914}, {640, 31914}}};
  enum class Transform { kNone, kReverseX, kReverseY, kReverseBoth, kExchange };
  struct Case {
    std::string name;
    Transform transform;
    std::int32_t cable;
    std::int32_t rotation;
    Words10 measuredWords;
  };
  const std::vector<Case> cases = {
      {"as measured",
       Transform::kNone,
       kCableLTRB,
       0,
       {16384, 16384, 640, 853, 32128, 853, 32128, 31914, 640, 31914}},
      // Mirrored cases are reflected: x' = 32767 - y, y' = 32767 - x.
      {"x reversed",
       Transform::kReverseX,
       kCableBRTL,
       90,
       {16383, 16383, 31914, 639, 31914, 32127, 853, 32127, 853, 639}},
      {"y reversed",
       Transform::kReverseY,
       kCableBRTL,
       270,
       {16383, 16383, 852, 32127, 852, 639, 31913, 639, 31913, 32127}},
      {"both reversed",
       Transform::kReverseBoth,
       kCableLTRB,
       180,
       {16384, 16384, 32128, 31915, 640, 31915, 640, 854, 32128, 854}},
      {"x and y exchanged",
       Transform::kExchange,
       kCableBRTL,
       180,
       {16383, 16383, 32127, 31914, 639, 31914, 639, 853, 32127, 853}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CalibrationData data = MakeData(kCalTypeFivePoint);
    for (std::size_t i = 0; i < base.size(); ++i) {
      const PointD p = base[i];
      switch (c.transform) {
        case Transform::kNone:
          data.fivePointMeasured[i] = p;
          break;
        case Transform::kReverseX:
          data.fivePointMeasured[i] = {32768 - p.x, p.y};
          break;
        case Transform::kReverseY:
          data.fivePointMeasured[i] = {p.x, 32768 - p.y};
          break;
        case Transform::kReverseBoth:
          data.fivePointMeasured[i] = {32768 - p.x, 32768 - p.y};
          break;
        case Transform::kExchange:
          data.fivePointMeasured[i] = {p.y, p.x};
          break;
      }
    }
    // The pixel positions stay zero: type 3 works from the measured positions alone.
    ASSERT_TRUE(data.ComputeCalibration(kScreen, kScreen));
    EXPECT_EQ(data.cableConnection, c.cable);
    EXPECT_EQ(data.rotation, c.rotation);
    EXPECT_EQ(data.recordBuffer, FivePointRecordBytes(kDefaultWords, c.measuredWords));
  }
}

TEST(FivePointCalibration, WordsSaturateAndTargetsScaleByTheTouchMonitor) {
  CalibrationData data = MakeData(kCalTypeFivePoint);
  data.fivePointMeasured = {
      {{16384, 16384}, {-5, -0.5}, {65534.9, 853}, {70000, 1e9}, {640, kNaN}}};
  // Twice as wide as the monitor the targets were placed on: 16 units per pixel in x.
  ASSERT_TRUE(data.ComputeCalibration(kScreen, {0, 0, 2048, 768}));
  EXPECT_EQ(data.cableConnection, kCableLTRB);
  EXPECT_EQ(data.rotation, 0);
  const Words10 targets{8192, 16384, 320, 853, 16064, 853, 16064, 31914, 320, 31914};
  const Words10 measured{16384, 16384, 0, 0, 65534, 853, 65535, 65535, 640, 0};
  EXPECT_EQ(data.recordBuffer, FivePointRecordBytes(targets, measured));
}

// Five measured points that coincide on an axis give the driver no transform to fit: the
// record is refused as the linear types refuse coinciding points, saturated words included.
TEST(FivePointCalibration, MeasuredPointsCoincidingOnAnAxisLeaveTheRecord) {
  struct Case {
    std::string name;
    Points5 measured;
  };
  const std::vector<Case> cases = {
      {"five holds on one spot", {{{500, 400}, {500, 400}, {500, 400}, {500, 400}, {500, 400}}}},
      {"all x equal",
       {{{16384, 16384}, {16384, 853}, {16384, 853}, {16384, 31914}, {16384, 31914}}}},
      {"all y equal",
       {{{16384, 16384}, {640, 16384}, {32128, 16384}, {32128, 16384}, {640, 16384}}}},
      {"all x saturated",
       {{{70000, 16384}, {1e9, 853}, {65535, 853}, {66000, 31914}, {80000, 31914}}}},
      {"all y below zero", {{{16384, -1}, {640, -50}, {32128, -2}, {32128, kNaN}, {640, -9}}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CalibrationData data = MakeData(kCalTypeFivePoint);
    data.fivePointMeasured = c.measured;
    EXPECT_FALSE(data.ComputeCalibration(kScreen, kScreen));
    EXPECT_EQ(data.recordBuffer, UntouchedBuffer());
  }
}

// Edges anywhere in the 32-bit range: the extents are computed without overflow.
TEST(MonitorRectangle, ExtentsOfArbitraryEdgesDoNotOverflow) {
  constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
  constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
  EXPECT_EQ((MonitorRect{631612837, 0, kMin, 0}.Width()), std::int64_t{kMin} - 631612837);
  EXPECT_EQ((MonitorRect{kMin, kMin, kMax, kMax}.Width()), std::int64_t{kMax} - kMin);
  EXPECT_EQ((MonitorRect{0, kMax, 0, kMin}.Height()), std::int64_t{kMin} - kMax);
  CalibrationData data = MakeData(kCalTypeFivePoint);
  const MonitorRect huge{kMin, kMin, kMax, kMax};
  data.PlaceTargets(huge);
  const CAL_PTS points = data.DefaultPoints(huge);
  EXPECT_EQ(points.targets[0], 0);
}

TEST(Calibration, OtherTypesComputeNothing) {
  for (const std::uint8_t type : {std::uint8_t{0}, std::uint8_t{4}, std::uint8_t{255}}) {
    SCOPED_TRACE("type " + std::to_string(type));
    CalibrationData data = MakeData(type);
    const Points5 pixels{{{16384, 16384}, {640, 853}, {32128, 853}, {32128, 31914}, {640, 31914}}};
    const Points5 measured{{{1, 1}, {1, 1}, {1, 1}, {1, 1}, {1, 1}}};
    data.fivePointPixels = pixels;
    data.fivePointMeasured = measured;
    data.cableConnection = kCableBRTL;
    data.rotation = 90;
    EXPECT_FALSE(data.ComputeCalibration(kScreen, kScreen));
    EXPECT_EQ(data.recordBuffer, UntouchedBuffer());
    EXPECT_EQ(Pairs(data.fivePointMeasured), Pairs(measured));
    EXPECT_EQ(data.pixelScale, (std::array<double, 2>{0, 0}));
    EXPECT_EQ(data.cableConnection, kCableBRTL);
    EXPECT_EQ(data.rotation, 90);
  }
}

// ---------------------------------------------------------------------------------------------
// Orientation

TEST(Handedness, CableConnectionFromTheFourCrossProducts) {
  struct Case {
    std::string name;
    Points5 measured;
    std::int32_t cable;
  };
  const std::vector<Case> cases = {
      {"axes like the screen's: all positive",
       {{{1000, 1000}, {900, 900}, {1100, 900}, {1100, 1100}, {900, 1100}}},
       kCableLTRB},
      {"x reversed: all negative",
       {{{1000, 1000}, {1100, 900}, {900, 900}, {900, 1100}, {1100, 1100}}},
       kCableBRTL},
      {"some products zero, the others negative",
       {{{1000, 1000}, {1100, 900}, {1100, 900}, {900, 1100}, {1100, 1100}}},
       kCableLTRB},
      {"mixed signs",
       {{{1000, 1000}, {1100, 900}, {900, 900}, {900, 1100}, {850, 950}}},
       kCableLTRB},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CalibrationData data;
    data.cableConnection = c.cable == kCableLTRB ? kCableBRTL : kCableLTRB;
    data.fivePointMeasured = c.measured;
    data.CheckHandedness();
    EXPECT_EQ(data.cableConnection, c.cable);
  }
}

TEST(Rotation, FromTopLeftAgainstCentre) {
  struct Case {
    PointD topLeft;  // the centre is (1000, 1000)
    std::int32_t cable;
    std::int32_t rotation;
  };
  const std::vector<Case> cases = {
      {{900, 900}, kCableLTRB, 0},     {{900, 900}, kCableBRTL, 180},
      {{1100, 900}, kCableLTRB, 90},   {{1100, 900}, kCableBRTL, 90},
      {{1100, 1100}, kCableLTRB, 180}, {{1100, 1100}, kCableBRTL, 0},
      {{900, 1100}, kCableLTRB, 270},  {{900, 1100}, kCableBRTL, 270},
      {{1000, 900}, kCableLTRB, 0},    {{1000, 1100}, kCableBRTL, 0},
      {{900, 1000}, kCableLTRB, 0},    {{1100, 1000}, kCableBRTL, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("top-left " + std::to_string(c.topLeft.x) + ", " + std::to_string(c.topLeft.y) +
                 " cable " + std::to_string(c.cable));
    CalibrationData data;
    data.rotation = -1;
    data.cableConnection = c.cable;
    data.fivePointMeasured[0] = {1000, 1000};
    data.fivePointMeasured[1] = c.topLeft;
    data.DetectRotation();
    EXPECT_EQ(data.rotation, c.rotation);
  }
}

// ---------------------------------------------------------------------------------------------
// Exchanged and reversed pixels (Modify in the check dialog)

TEST(ExchangeAndReverse, TwoPointRecomputationReflectsTheExchangedAxes) {
  CalibrationData data = MakeData(kCalTypeTwoPoint);
  CollectAll(data, Points2{{{20, 20}, {1004, 748}}}, kScreen);
  const Points2 before = data.twoPointMeasured;

  data.ExchangeAndReversePixels(kTwoPointCount, kScreen);
  ASSERT_TRUE(data.ComputeCalibration(kScreen, kScreen));
  for (std::size_t i = 0; i < before.size(); ++i) {
    SCOPED_TRACE("point " + std::to_string(i));
    EXPECT_NEAR(data.twoPointMeasured[i].x, 32768.0 - before[i].y, 1e-7);
    EXPECT_NEAR(data.twoPointMeasured[i].y, 32768.0 - before[i].x, 1e-7);
  }
}

TEST(ExchangeAndReverse, PixelsScaleByTheTouchMonitorExtent) {
  CalibrationData data;
  data.fivePointMeasured = {{{16384, 8192}, {0, 0}, {32768, 32768}, {8192, 24576}, {24576, 0}}};
  data.twoPointMeasured = {{{100, 200}, {300, 400}}};
  // 800 x 600: pixel x = (1 - y / 32768) * 800, pixel y = (1 - x / 32768) * 600.
  data.ExchangeAndReversePixels(kFivePointCount, kOtherMonitor);
  const Points5 expected{{{600, 300}, {800, 600}, {0, 0}, {200, 450}, {800, 150}}};
  EXPECT_EQ(Pairs(data.fivePointPixels), Pairs(expected));
  EXPECT_EQ(Pairs(data.twoPointPixels), Pairs(Points2{}));

  data.ExchangeAndReversePixels(3, kOtherMonitor);
  EXPECT_EQ(Pairs(data.fivePointPixels), Pairs(expected));
  EXPECT_EQ(Pairs(data.twoPointPixels), Pairs(Points2{}));
}

// ---------------------------------------------------------------------------------------------
// Default points (CAL_PTS)

TEST(DefaultPoints, TargetWordsOverTheTouchMonitorExtent) {
  struct Case {
    std::string name;
    MonitorRect targetsOn;
    MonitorRect touch;
    Words10 words;
  };
  const std::vector<Case> cases = {
      {"1024 x 768 primary and touch monitor", kScreen, kScreen, kDefaultWords},
      {"touch monitor of the same size elsewhere", kScreen, {1024, 0, 2048, 768}, kDefaultWords},
      // Desktop pixels, not shifted by the monitor's left: x words above 32768.
      {"targets on a monitor right of the primary",
       {1024, 0, 2048, 768},
       {1024, 0, 2048, 768},
       {49152, 16384, 33408, 853, 64896, 853, 64896, 31914, 33408, 31914}},
      {"narrow touch monitor saturates at 65535",
       kScreen,
       {0, 0, 256, 192},
       {65535, 65535, 2560, 3413, 65535, 3413, 65535, 65535, 2560, 65535}},
      {"negative target x saturates at 0",
       {-1024, 0, 0, 768},
       {-1024, 0, 0, 768},
       {0, 16384, 0, 853, 0, 853, 0, 31914, 0, 31914}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CalibrationData data;
    data.PlaceTargets(c.targetsOn);
    EXPECT_EQ(RawBytes<20>(data.DefaultPoints(c.touch)), LittleEndian(c.words));
  }
}

// ---------------------------------------------------------------------------------------------
// Hold detection

TEST(HoldDetection, MeanAndSpreadPerAxis) {
  using Samples = std::array<std::int32_t, kHoldSamples>;
  constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
  constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
  struct Case {
    std::string name;
    Samples xs;
    Samples ys;
    HoldStatistics expected;
  };
  const std::vector<Case> cases = {
      {"held still", {100, 100, 100, 100, 100}, {200, 200, 200, 200, 200}, {100, 200, 0, 0}},
      // Sample variance with divisor 4: (4 + 1 + 0 + 1 + 4) / 4.
      {"spread over five pixels", {1, 2, 3, 4, 5}, {-4, 0, 0, 0, 4}, {3, 0, 2.5, 8}},
      {"fractional mean", {0, 0, 0, 0, 1}, {7, 7, 7, 7, 8}, {0.2, 7.2, 0.2, 0.2}},
      // The sums exceed 32 bits.
      {"extreme coordinates",
       {kMax, kMax, kMax, kMax, kMax},
       {kMin, kMin, kMin, kMin, kMin},
       {2147483647.0, -2147483648.0, 0, 0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const HoldStatistics stats = ComputeHoldStatistics(c.xs, c.ys);
    EXPECT_NEAR(stats.meanX, c.expected.meanX, 1e-6);
    EXPECT_NEAR(stats.meanY, c.expected.meanY, 1e-6);
    EXPECT_NEAR(stats.spreadX, c.expected.spreadX, 1e-9);
    EXPECT_NEAR(stats.spreadY, c.expected.spreadY, 1e-9);
  }
}

TEST(HoldDetection, SpreadOfExactlyEightOnEitherAxisIsRejected) {
  const std::array<std::int32_t, kHoldSamples> still{300, 300, 300, 300, 300};
  const std::array<std::int32_t, kHoldSamples> wobbly{-4, 0, 0, 0, 4};

  const HoldStatistics wobblyX = ComputeHoldStatistics(wobbly, still);
  EXPECT_EQ(wobblyX.spreadX, 8.0);
  EXPECT_FALSE(IsSteadyHold(wobblyX));

  const HoldStatistics wobblyY = ComputeHoldStatistics(still, wobbly);
  EXPECT_EQ(wobblyY.spreadY, 8.0);
  EXPECT_FALSE(IsSteadyHold(wobblyY));
}

TEST(HoldDetection, SteadyOnlyWhenBothSpreadsAreBelowEight) {
  struct Case {
    double spreadX;
    double spreadY;
    bool steady;
  };
  const std::vector<Case> cases = {
      {0, 0, true},       {7.99, 7.99, true}, {8.0, 0, false}, {0, 8.0, false},
      {7.99, 8.0, false}, {8.0, 8.0, false},  {100, 0, false}, {0, 1e9, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("spreads " + std::to_string(c.spreadX) + ", " + std::to_string(c.spreadY));
    EXPECT_EQ(IsSteadyHold({500, 500, c.spreadX, c.spreadY}), c.steady);
  }
}

}  // namespace
}  // namespace calibration
