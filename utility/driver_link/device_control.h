// The one way to the touch driver: a device control request on its control device.
#pragma once

#include <windows.h>

// Opens the control device, sends one request with the caller's arguments unchanged and closes
// the device again. Shows "Driver not loaded!" when the device cannot be opened.
BOOL DeviceControl(DWORD dwIoControlCode, LPVOID lpInBuffer, DWORD nInBufferSize,
                   LPVOID lpOutBuffer, DWORD nOutBufferSize, LPDWORD lpBytesReturned,
                   LPOVERLAPPED lpOverlapped);

// Sends one request that answers nothing; when the driver refuses it, shows `failureText`.
// Returns whether the driver took it.
bool SendRequest(DWORD code, const void* input, DWORD size, const char* failureText);
