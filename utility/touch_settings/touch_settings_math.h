// The arithmetic of the Touch Setting page: the filter and beep records it sends and stores,
// and what it reads back from the stored values. Portable: no Windows header.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

#include "../driver_link/tessaro_driver.h"

namespace touch_settings {

constexpr std::uint32_t kFilterPositionMax = 65536;
constexpr std::int32_t kFrequencyPositionMin = 1;
constexpr std::int32_t kFrequencyPositionMax = 10000;
constexpr std::int32_t kDurationMin = 1;
constexpr std::int32_t kDurationMax = 1000;

// The driver's tone divisor for a frequency position: 1193180 / position, bounded to the 16 bits
// of the record (positions 1 to 18 all give 65535, the lowest tone) and never 0.
std::uint16_t ToneDivisor(std::int32_t frequencyPosition);
// The frequency position a stored tone divisor stands for: 1193189 / divisor (the driver's own
// clock constant), 1 for a divisor of 0.
std::int32_t FrequencyPosition(std::uint16_t toneDivisor);

// The tone divisor before any was read or chosen: that of the default frequency position 1.
constexpr std::uint16_t kInitialToneDivisor = 65535;

FilterRecord MakeFilterRecord(std::uint32_t filterPosition);
BeepValue MakeBeepValue(std::uint8_t touchSound, std::uint16_t toneDivisor, std::uint32_t duration);

// What a stored "Beep" value gives the page.
struct StoredBeep {
  std::uint8_t touchSound;
  std::uint16_t toneDivisor;
  std::uint32_t duration;
  std::int32_t frequencyPosition;
};

// `bytes`: a value as read, `size`: the number of bytes the read filled. A value shorter than
// its record gives nothing, so that no byte that was never filled is used.
std::optional<StoredBeep> ReadStoredBeep(const std::uint8_t* bytes, std::size_t size);
// The filter position of a stored "Filter" value: bytes 4 to 6 as a 24-bit number.
std::optional<std::uint32_t> ReadStoredFilterPosition(const std::uint8_t* bytes, std::size_t size);
// The cursor display flag of a stored "Cursor" value: its lowest byte.
std::optional<std::uint8_t> ReadStoredCursor(const std::uint8_t* bytes, std::size_t size);

}  // namespace touch_settings
