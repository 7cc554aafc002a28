#include "framework/SingleInstance.h"

namespace fw {

// The last-error code is read at once: it tells whether the mutex existed already.
CSingleInstance::CSingleInstance(const char* mutexName)
    : m_hMutex(::CreateMutexA(nullptr, FALSE, mutexName)),
      m_bAlreadyRunning(::GetLastError() == ERROR_ALREADY_EXISTS) {}

CSingleInstance::~CSingleInstance() {
  if (m_hMutex != nullptr) ::CloseHandle(m_hMutex);
}

}  // namespace fw
