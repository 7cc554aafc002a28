// Native tests of the Touch Setting page's arithmetic: the filter and beep records byte for
// byte, the tone divisor and its read-back, and stored values of every length.
#include "touch_settings/touch_settings_math.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <cstring>
#include <vector>

namespace touch_settings {
namespace {

using Bytes = std::vector<std::uint8_t>;

template <class Record>
Bytes BytesOf(const Record& record) {
  Bytes bytes(sizeof(record));
  std::memcpy(bytes.data(), &record, sizeof(record));
  return bytes;
}

TEST(FilterRecord, CoefficientTwiceThenPosition) {
  struct Case {
    std::uint32_t position;
    Bytes bytes;
  };
  const Case cases[] = {
      {0, {0x00, 0x80, 0x00, 0x80, 0x00, 0x00, 0x00, 0x00}},      // Quick: 32768
      {65536, {0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x01, 0x00}},  // Slow: 0
      {32768, {0x00, 0x40, 0x00, 0x40, 0x00, 0x80, 0x00, 0x00}},  // 16384 twice
      {40001, {0xDF, 0x31, 0xDF, 0x31, 0x41, 0x9C, 0x00, 0x00}},  // 25535 / 2 = 12767
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.position);
    EXPECT_EQ(BytesOf(MakeFilterRecord(c.position)), c.bytes);
  }
}

TEST(FilterRecord, StoredPositionIsTheThreeBytesAfterTheCoefficients) {
  struct Case {
    Bytes stored;
    std::uint32_t position;
  };
  const Case cases[] = {
      {BytesOf(MakeFilterRecord(40000)), 40000},
      {BytesOf(MakeFilterRecord(65536)), 65536},
      {BytesOf(MakeFilterRecord(0)), 0},
      // Byte 7 is no part of the position.
      {{0x11, 0x22, 0x33, 0x44, 0x56, 0x34, 0x12, 0xFF}, 0x123456},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.position);
    EXPECT_EQ(ReadStoredFilterPosition(c.stored.data(), c.stored.size()), c.position);
  }
}

TEST(ToneDivisor, QuotientBoundedToSixteenBits) {
  struct Case {
    std::int32_t position;
    std::uint16_t divisor;
  };
  const Case cases[] = {
      {1, 65535},   {18, 65535}, {19, 62798},  {440, 2711},
      {10000, 119}, {0, 65535},  {1193180, 1}, {1193181, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.position);
    EXPECT_EQ(ToneDivisor(c.position), c.divisor);
  }
  EXPECT_EQ(kInitialToneDivisor, ToneDivisor(kFrequencyPositionMin));
}

TEST(ToneDivisor, ReadBackUsesTheDriversClock) {
  struct Case {
    std::uint16_t divisor;
    std::int32_t position;
  };
  const Case cases[] = {
      {2711, 440}, {119, 10026}, {2727, 437}, {65535, 18}, {62798, 19}, {0, 1}, {1, 1193189},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.divisor);
    EXPECT_EQ(FrequencyPosition(c.divisor), c.position);
  }
}

TEST(BeepValue, SoundFlagThenDivisorThenDuration) {
  EXPECT_EQ(BytesOf(MakeBeepValue(1, 2727, 800)),
            (Bytes{0x01, 0xa7, 0x0a, 0x20, 0x03, 0x00, 0x00}));
  EXPECT_EQ(BytesOf(MakeBeepValue(0, 65535, 1)), (Bytes{0x00, 0xff, 0xff, 0x01, 0x00, 0x00, 0x00}));
  EXPECT_EQ(BytesOf(MakeBeepValue(1, 2711, 1000).setting), (Bytes{0x97, 0x0a, 0xe8, 0x03, 0, 0}));
}

TEST(BeepValue, StoredValueGivesFlagDivisorDurationAndPosition) {
  const Bytes stored{0x01, 0xa7, 0x0a, 0x20, 0x03, 0x00, 0x00};
  const std::optional<StoredBeep> beep = ReadStoredBeep(stored.data(), stored.size());
  ASSERT_TRUE(beep.has_value());
  EXPECT_EQ(beep->touchSound, 1);
  EXPECT_EQ(beep->toneDivisor, 2727);
  EXPECT_EQ(beep->duration, 800U);
  EXPECT_EQ(beep->frequencyPosition, 437);

  const Bytes noDivisor{0x00, 0x00, 0x00, 0x05, 0x00, 0x00, 0x00};
  EXPECT_EQ(ReadStoredBeep(noDivisor.data(), noDivisor.size())->frequencyPosition, 1);
}

// A value shorter than its record is not used at all: nothing of it is taken.
TEST(StoredValues, ShortValuesGiveNothing) {
  const std::array<std::uint8_t, 8> full{0x01, 0xa7, 0x0a, 0x20, 0x03, 0x00, 0x00, 0x00};
  for (std::size_t size = 0; size < 7; ++size) {
    SCOPED_TRACE(size);
    EXPECT_FALSE(ReadStoredBeep(full.data(), size).has_value());
  }
  EXPECT_TRUE(ReadStoredBeep(full.data(), 7).has_value());
  for (std::size_t size = 0; size < 8; ++size) {
    SCOPED_TRACE(size);
    EXPECT_FALSE(ReadStoredFilterPosition(full.data(), size).has_value());
  }
  EXPECT_TRUE(ReadStoredFilterPosition(full.data(), 8).has_value());
  EXPECT_FALSE(ReadStoredCursor(full.data(), 0).has_value());
  EXPECT_EQ(ReadStoredCursor(full.data(), 1), 1);
  EXPECT_FALSE(ReadStoredBeep(nullptr, 7).has_value());
}

TEST(StoredValues, CursorIsTheLowestByte) {
  const Bytes stored{0x00, 0x01, 0x00, 0x00};
  EXPECT_EQ(ReadStoredCursor(stored.data(), stored.size()), 0);
}

}  // namespace
}  // namespace touch_settings
