#include "driver_double_client.h"

#include <windows.h>

#include <cstring>

#include "driver_double_control.h"

namespace {

bool Control(DWORD code, const void* in, DWORD inLength, void* out, DWORD outLength,
             DWORD* returned = nullptr) {
  HANDLE device = CreateFileA(DD_CONTROL_PATH, GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                              OPEN_EXISTING, 0, nullptr);
  if (device == INVALID_HANDLE_VALUE) return false;
  DWORD bytes = 0;
  BOOL ok = DeviceIoControl(device, code, const_cast<void*>(in), inLength, out, outLength,
                            &bytes, nullptr);
  CloseHandle(device);
  if (returned) *returned = bytes;
  return ok != FALSE;
}

}  // namespace

bool ReadDriverLog(std::vector<DriverRequest>& out, DriverLogState* state) {
  std::vector<std::uint8_t> buffer(sizeof(DD_LOG_HEADER) + DD_LOG_CAPACITY * sizeof(DD_LOG_ENTRY));
  DWORD returned = 0;
  if (!Control(IOCTL_DD_READ_LOG, nullptr, 0, buffer.data(), static_cast<DWORD>(buffer.size()),
               &returned) ||
      returned < sizeof(DD_LOG_HEADER))
    return false;
  DD_LOG_HEADER header;
  std::memcpy(&header, buffer.data(), sizeof header);
  if (header.entrySize != sizeof(DD_LOG_ENTRY) ||
      returned < sizeof header + header.returned * sizeof(DD_LOG_ENTRY))
    return false;

  out.clear();
  for (std::uint32_t i = 0; i < header.returned; ++i) {
    DD_LOG_ENTRY entry;
    std::memcpy(&entry, buffer.data() + sizeof header + i * sizeof entry, sizeof entry);
    DriverRequest request;
    request.code = entry.code;
    request.input.assign(entry.input, entry.input + entry.inputKept);
    request.inputLength = entry.inputLength;
    request.outputLength = entry.outputLength;
    request.status = entry.status;
    request.succeeded = entry.succeeded != 0;
    out.push_back(std::move(request));
  }
  if (state) {
    state->overflowed = header.overflowed != 0;
    state->openHandles = header.openHandles;
    state->creates = header.creates;
    state->cleanups = header.cleanups;
    state->closes = header.closes;
  }
  return true;
}

bool ClearDriverLog() { return Control(IOCTL_DD_CLEAR_LOG, nullptr, 0, nullptr, 0); }

bool SetFailingCodes(const std::vector<std::uint32_t>& codes) {
  if (codes.size() > DD_MAX_FAILING_CODES) return false;
  return Control(IOCTL_DD_SET_FAILING_CODES, codes.data(),
                 static_cast<DWORD>(codes.size() * sizeof(std::uint32_t)), nullptr, 0);
}

bool SetFailingCodes(std::initializer_list<std::uint32_t> codes) {
  return SetFailingCodes(std::vector<std::uint32_t>(codes));
}

bool SetDriverVersion(std::uint8_t major, std::uint8_t minor) {
  const DD_VERSION version{major, minor};
  return Control(IOCTL_DD_SET_VERSION, &version, sizeof version, nullptr, 0);
}

int OpenHandleCount() {
  DD_LOG_HEADER header;
  if (!Control(IOCTL_DD_READ_LOG, nullptr, 0, &header, sizeof header)) return -1;
  return static_cast<int>(header.openHandles);
}
