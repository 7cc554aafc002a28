// Test-side access to the driver double's control device (\\.\PelqTessaroDouble).
// Each call opens the control device, sends one request and closes it again; every call
// fails (false / -1) when the double is not running.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <vector>

struct DriverRequest {
  std::uint32_t code = 0;
  std::vector<std::uint8_t> input;  // the first 64 bytes of the input at most
  std::uint32_t inputLength = 0;    // the true input length
  std::uint32_t outputLength = 0;
  std::uint32_t status = 0;  // NTSTATUS the double answered
  bool succeeded = false;
};

struct DriverLogState {
  bool overflowed = false;
  std::uint32_t openHandles = 0;  // handles open on \\.\PelqTessaro right now
  std::uint32_t creates = 0;      // opens of \\.\PelqTessaro since the last clear
  std::uint32_t cleanups = 0;
  std::uint32_t closes = 0;
};

// The requests recorded on \\.\PelqTessaro since the last clear, oldest first.
bool ReadDriverLog(std::vector<DriverRequest>& out, DriverLogState* state = nullptr);
// Forgets the record, the overflow flag and the open/close counters (not the open-handle count).
bool ClearDriverLog();
// From now on these codes fail (recorded, then STATUS_UNSUCCESSFUL); an empty list: none fails.
bool SetFailingCodes(const std::vector<std::uint32_t>& codes);
bool SetFailingCodes(std::initializer_list<std::uint32_t> codes);
// What IOCTL_GET_VERSION answers from now on (the double starts with 1.0).
bool SetDriverVersion(std::uint8_t major, std::uint8_t minor);
// Handles open on \\.\PelqTessaro right now, or -1 when the double cannot be reached.
int OpenHandleCount();
