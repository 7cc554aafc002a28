// Fuzz target: the Touch Setting page's reading of stored "Beep", "Filter" and "Cursor" values of
// any length, and its tone arithmetic over every input. Checked against the rules: a value
// shorter than its record gives nothing; a whole one gives exactly its bytes; the divisor always
// fits its 16 bits and is never 0.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdlib>
#include <vector>

#include "touch_settings/touch_settings_math.h"

namespace {

void Check(bool holds) {
  if (!holds) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  const auto position = input.ConsumeIntegral<std::int32_t>();
  const auto divisor = input.ConsumeIntegral<std::uint16_t>();
  const std::vector<std::uint8_t> stored = input.ConsumeRemainingBytes<std::uint8_t>();

  const std::uint16_t tone = touch_settings::ToneDivisor(position);
  Check(tone != 0);
  Check(position <= 18 || position > 1193180 || tone == 1193180 / position);
  Check(touch_settings::FrequencyPosition(divisor) >= 1);

  const auto beep = touch_settings::ReadStoredBeep(stored.data(), stored.size());
  Check(beep.has_value() == (stored.size() >= 7));
  if (beep) {
    Check(beep->touchSound == stored[0]);
    Check(beep->toneDivisor == (stored[1] | stored[2] << 8U));
    Check(beep->duration == (stored[3] | stored[4] << 8U | stored[5] << 16U |
                             static_cast<std::uint32_t>(stored[6]) << 24U));
    Check(beep->frequencyPosition == touch_settings::FrequencyPosition(beep->toneDivisor));
  }
  const auto filter = touch_settings::ReadStoredFilterPosition(stored.data(), stored.size());
  Check(filter.has_value() == (stored.size() >= 8));
  if (filter) Check(*filter == (stored[4] | stored[5] << 8U | stored[6] << 16U));
  const auto cursor = touch_settings::ReadStoredCursor(stored.data(), stored.size());
  Check(cursor.has_value() == !stored.empty());
  return 0;
}
