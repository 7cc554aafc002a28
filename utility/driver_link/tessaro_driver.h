// The touch driver's control interface: control codes and the records sent with them.
// Portable: no Windows header is needed, so the records are checked by native tests too.
#pragma once

#include <cstdint>

// CTL_CODE(DeviceType, Function, Method, Access) as the Windows DDK defines it.
constexpr std::uint32_t MakeControlCode(std::uint32_t deviceType, std::uint32_t function,
                                        std::uint32_t method, std::uint32_t access) {
  return (deviceType << 16) | (access << 14) | (function << 2) | method;
}

constexpr std::uint32_t kTouchDeviceType = 0x22;  // FILE_DEVICE_UNKNOWN
constexpr std::uint32_t kMethodBuffered = 0;
constexpr std::uint32_t kFileAnyAccess = 0;

constexpr std::uint32_t TouchControlCode(std::uint32_t function) {
  return MakeControlCode(kTouchDeviceType, function, kMethodBuffered, kFileAnyAccess);
}

constexpr std::uint32_t IOCTL_SET_CAL = TouchControlCode(10);
constexpr std::uint32_t IOCTL_SET_CAL_5PT = TouchControlCode(11);
constexpr std::uint32_t IOCTL_RESET_CAL_COEFF = TouchControlCode(20);
constexpr std::uint32_t IOCTL_RESET_CAL_PTS = TouchControlCode(21);
constexpr std::uint32_t IOCTL_SET_FILTER_COEFF = TouchControlCode(30);
constexpr std::uint32_t IOCTL_BEEP_MODE = TouchControlCode(40);
constexpr std::uint32_t IOCTL_BEEP_SETTING = TouchControlCode(50);
constexpr std::uint32_t IOCTL_GET_VERSION = TouchControlCode(71);  // 71, not 70
constexpr std::uint32_t IOCTL_MAPPING = TouchControlCode(90);
constexpr std::uint32_t IOCTL_SINGLE_MONITOR = TouchControlCode(100);
constexpr std::uint32_t IOCTL_CABLE_CONNECTION = TouchControlCode(110);
constexpr std::uint32_t IOCTL_PANEL_ROTATION = TouchControlCode(120);
constexpr std::uint32_t IOCTL_SET_CAL_TYPE = TouchControlCode(130);

static_assert(IOCTL_SET_CAL == 0x220028);
static_assert(IOCTL_SET_CAL_5PT == 0x22002c);
static_assert(IOCTL_RESET_CAL_COEFF == 0x220050);
static_assert(IOCTL_RESET_CAL_PTS == 0x220054);
static_assert(IOCTL_SET_FILTER_COEFF == 0x220078);
static_assert(IOCTL_BEEP_MODE == 0x2200a0);
static_assert(IOCTL_BEEP_SETTING == 0x2200c8);
static_assert(IOCTL_GET_VERSION == 0x22011c);
static_assert(IOCTL_MAPPING == 0x220168);
static_assert(IOCTL_SINGLE_MONITOR == 0x220190);
static_assert(IOCTL_CABLE_CONNECTION == 0x2201b8);
static_assert(IOCTL_PANEL_ROTATION == 0x2201e0);
static_assert(IOCTL_SET_CAL_TYPE == 0x220208);

// Calibration types: the CalType setting and the IOCTL_SET_CAL_TYPE byte.
constexpr std::uint8_t kCalTypeTwoPoint = 1;
constexpr std::uint8_t kCalTypeFivePointLinear = 2;
constexpr std::uint8_t kCalTypeFivePoint = 3;

// Cable connection: the IOCTL_CABLE_CONNECTION byte and the LTRB setting.
constexpr std::int32_t kCableLTRB = 1;
constexpr std::int32_t kCableBRTL = 0;
// The IOCTL_CABLE_CONNECTION input.
using CableConnectionByte = std::uint8_t;

// Records travel as little-endian bytes; on x86 a packed structure is exactly that.
static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__, "records are laid out little-endian");

#pragma pack(push, 1)

// The linear calibration, per axis: target unit position = a * measured unit position + b,
// with a split into a sign and a 16.16 magnitude.
struct CAL_COEFF {
  std::uint8_t xSign;
  std::uint8_t ySign;
  std::uint16_t xSlopeInteger;
  std::uint16_t xSlopeFraction;
  std::int32_t xOffset;
  std::uint16_t ySlopeInteger;
  std::uint16_t ySlopeFraction;
  std::int32_t yOffset;
};

// Five target positions (words 0-9) and five measured positions (words 10-19), each (x, y),
// in the order centre, top-left, top-right, bottom-right, bottom-left.
struct CAL_5PT {
  std::uint16_t targets[10];
  std::uint16_t measured[10];
};

// The default points: the five target positions alone.
struct CAL_PTS {
  std::uint16_t targets[10];
};

// IOCTL_MAPPING: the touch monitor's position and size and the primary monitor's size, all in
// virtual-desktop pixels, unscaled.
struct MonitorMappingRecord {
  std::int32_t touchLeft;
  std::int32_t touchTop;
  std::int32_t touchWidth;
  std::int32_t touchHeight;
  std::int32_t primaryWidth;
  std::int32_t primaryHeight;
};

// IOCTL_GET_VERSION answers the driver's version in two bytes.
struct DriverVersion {
  std::uint8_t major;
  std::uint8_t minor;
};

#pragma pack(pop)

static_assert(sizeof(MonitorMappingRecord) == 24);
static_assert(sizeof(DriverVersion) == 2);
static_assert(sizeof(CAL_COEFF) == 18);
static_assert(sizeof(CAL_5PT) == 40);
static_assert(sizeof(CAL_PTS) == 20);

// Slopes 1.0, offsets 0, signs 0.
constexpr CAL_COEFF kNeutralCalCoeff{0, 0, 1, 0, 0, 1, 0, 0};
