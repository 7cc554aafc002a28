#include "touch_settings_math.h"

#include <algorithm>
#include <cstring>

namespace touch_settings {
namespace {

constexpr std::uint32_t kSendClock = 1193180;
constexpr std::uint32_t kReadBackClock = 1193189;
constexpr std::uint32_t kToneDivisorMax = 0xFFFF;

}  // namespace

std::uint16_t ToneDivisor(std::int32_t frequencyPosition) {
  if (frequencyPosition <= 0) {
    return kToneDivisorMax;
  }
  const std::uint32_t quotient = kSendClock / static_cast<std::uint32_t>(frequencyPosition);
  // A divisor of 0 is no tone at all; only positions far beyond the slider's range would give it.
  return static_cast<std::uint16_t>(std::clamp(quotient, std::uint32_t{1}, kToneDivisorMax));
}

std::int32_t FrequencyPosition(std::uint16_t toneDivisor) {
  if (toneDivisor == 0) {
    return 1;
  }
  return static_cast<std::int32_t>(kReadBackClock / toneDivisor);
}

FilterRecord MakeFilterRecord(std::uint32_t filterPosition) {
  const auto coefficient = static_cast<std::uint16_t>((kFilterPositionMax - filterPosition) / 2);
  return FilterRecord{coefficient, coefficient, filterPosition};
}

BeepValue MakeBeepValue(std::uint8_t touchSound, std::uint16_t toneDivisor,
                        std::uint32_t duration) {
  return BeepValue{touchSound, BeepSettingRecord{toneDivisor, duration}};
}

std::optional<StoredBeep> ReadStoredBeep(const std::uint8_t* bytes, std::size_t size) {
  if (bytes == nullptr || size < sizeof(BeepValue)) {
    return std::nullopt;
  }
  BeepValue value{};
  std::memcpy(&value, bytes, sizeof(value));
  return StoredBeep{value.touchSound, value.setting.toneDivisor, value.setting.duration,
                    FrequencyPosition(value.setting.toneDivisor)};
}

std::optional<std::uint32_t> ReadStoredFilterPosition(const std::uint8_t* bytes, std::size_t size) {
  if (bytes == nullptr || size < sizeof(FilterRecord)) {
    return std::nullopt;
  }
  // Byte 7 is not part of the position.
  return static_cast<std::uint32_t>(bytes[4]) | static_cast<std::uint32_t>(bytes[5]) << 8U |
         static_cast<std::uint32_t>(bytes[6]) << 16U;
}

std::optional<std::uint8_t> ReadStoredCursor(const std::uint8_t* bytes, std::size_t size) {
  if (bytes == nullptr || size < 1) {
    return std::nullopt;
  }
  return bytes[0];
}

}  // namespace touch_settings
