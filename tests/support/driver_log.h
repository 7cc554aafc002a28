// What the driver double received, as the tests compare it: control codes with their input.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <ostream>
#include <vector>

#include "bytes.h"

namespace support {

struct Sent {
  std::uint32_t code;
  Bytes input;
  bool operator==(const Sent&) const = default;
};
// Beside Sent, so that GoogleTest finds it for failure messages.
void PrintTo(const Sent& sent, std::ostream* out);

// What the driver received since the last call, and forget it.
std::vector<Sent> TakeSent();
// Waits until the driver has received at least as many requests as expected (the program goes
// on by itself after a dialog closes), then compares all it received, and forgets them.
testing::AssertionResult DriverReceived(const std::vector<Sent>& expected);

}  // namespace support
