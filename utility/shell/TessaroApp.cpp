#include "TessaroApp.h"

#include "TessaroDlg.h"

// Static initialisation runs in this order: the mutex (and its last-error code, read at once),
// then the application object.
HANDLE g_hSingleInstanceMutex = ::CreateMutexA(nullptr, FALSE, "Vantora_Tessaro");
DWORD g_dwMutexCreateError = ::GetLastError();

namespace {
struct MutexRelease {
  MutexRelease() = default;
  MutexRelease(const MutexRelease&) = delete;
  MutexRelease& operator=(const MutexRelease&) = delete;
  ~MutexRelease() {
    if (g_hSingleInstanceMutex != nullptr) {
      ::CloseHandle(g_hSingleInstanceMutex);
      g_hSingleInstanceMutex = nullptr;
    }
  }
} g_mutexRelease;
}  // namespace

CTessaroApp theApp;

BOOL CTessaroApp::InitInstance() {
  // Another instance runs: leave without a window or a word.
  if (g_dwMutexCreateError == ERROR_ALREADY_EXISTS) return FALSE;

  CTessaroDlg dlg;
  m_pMainWnd = &dlg;
  dlg.DoModal();
  m_pMainWnd = nullptr;
  return FALSE;
}
