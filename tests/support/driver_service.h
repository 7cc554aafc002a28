// The driver double as a service: stopped and started the way an administrator does it, with
// sc.exe, waiting until the change has taken effect.
#pragma once

#include <gtest/gtest.h>

namespace support {

// The double's own control device answers (it exists exactly while the driver is loaded).
bool DriverRunning();

// "sc.exe stop VTusb", then waits until the driver is gone.
testing::AssertionResult StopDriver();
// "sc.exe start VTusb", then waits until the driver answers again. A driver that starts anew
// has an empty record, no failing codes and version 1.0.
testing::AssertionResult StartDriver();

// The driver is stopped for the guard's lifetime and started again when it ends, also when the
// test fails in between.
class DriverAbsent {
 public:
  DriverAbsent();
  ~DriverAbsent();
  DriverAbsent(const DriverAbsent&) = delete;
  DriverAbsent& operator=(const DriverAbsent&) = delete;

  // Whether the driver really went away; tests assert this first.
  const testing::AssertionResult& Stopped() const { return stopped_; }

 private:
  testing::AssertionResult stopped_;
};

}  // namespace support
