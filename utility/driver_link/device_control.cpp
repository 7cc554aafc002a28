#include "device_control.h"

#include "framework/Dialog.h"

namespace {
constexpr char kControlDevice[] = "\\\\.\\PelqTessaro";
}

BOOL DeviceControl(DWORD dwIoControlCode, LPVOID lpInBuffer, DWORD nInBufferSize,
                   LPVOID lpOutBuffer, DWORD nOutBufferSize, LPDWORD lpBytesReturned,
                   LPOVERLAPPED lpOverlapped) {
  HANDLE device = ::CreateFileA(kControlDevice, GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                OPEN_EXISTING, FILE_FLAG_DELETE_ON_CLOSE, nullptr);
  if (device == INVALID_HANDLE_VALUE) {
    fw::AfxMessageBox("Driver not loaded!");
    return FALSE;
  }
  const BOOL succeeded =
      ::DeviceIoControl(device, dwIoControlCode, lpInBuffer, nInBufferSize, lpOutBuffer,
                        nOutBufferSize, lpBytesReturned, lpOverlapped);
  ::CloseHandle(device);
  return succeeded;
}

bool SendRequest(DWORD code, const void* input, DWORD size, const char* failureText) {
  DWORD returned = 0;
  if (DeviceControl(code, const_cast<void*>(input), size, nullptr, 0, &returned, nullptr)) {
    return true;
  }
  fw::AfxMessageBox(failureText);
  return false;
}
