// Little-endian byte strings of the records the tests expect in the driver's log and the
// registry, built here on their own so that a wrong layout in the utility shows.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <vector>

namespace support {

using Bytes = std::vector<std::uint8_t>;

inline Bytes Word(std::uint16_t value) {
  return {static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8)};
}

inline Bytes Words(std::initializer_list<std::uint16_t> values) {
  Bytes bytes;
  for (std::uint16_t value : values) {
    const Bytes word = Word(value);
    bytes.insert(bytes.end(), word.begin(), word.end());
  }
  return bytes;
}

inline Bytes Dword(std::uint32_t value) {
  return {static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8),
          static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 24)};
}

// 32-bit values, negatives in two's complement.
inline Bytes Int32s(std::initializer_list<std::int32_t> values) {
  Bytes bytes;
  for (std::int32_t value : values) {
    const Bytes dword = Dword(static_cast<std::uint32_t>(value));
    bytes.insert(bytes.end(), dword.begin(), dword.end());
  }
  return bytes;
}

inline Bytes Concat(std::initializer_list<Bytes> parts) {
  Bytes bytes;
  for (const Bytes& part : parts) bytes.insert(bytes.end(), part.begin(), part.end());
  return bytes;
}

}  // namespace support
