// The hardware-identifier walk on arbitrary bytes. The first two bytes give the size the read
// reported (little-endian, so it may lie below or beyond the buffer); the rest is the buffer,
// copied to a heap block of exactly its size so that any read past it is a finding.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "common/hardware_id.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) {
    return 0;
  }
  const std::size_t reported = data[0] | (static_cast<std::size_t>(data[1]) << 8U);
  const std::vector<char> buffer(data + 2, data + size);
  const char* list = buffer.empty() ? nullptr : buffer.data();

  const auto revision = hwid::FindControllerRevision(list, buffer.size(), reported);
  const bool hasId = hwid::HasControllerId(list, buffer.size(), reported);
  // A revision is only ever found in a string that begins with the prefix.
  if (revision && !hasId) {
    std::abort();
  }
  return 0;
}
