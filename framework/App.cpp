#include "framework/App.h"

#include "framework/Wnd.h"

namespace fw {
namespace {
CWinApp* g_pApp = nullptr;
}

CWinApp::CWinApp() { g_pApp = this; }

CWinApp::~CWinApp() {
  if (g_pApp == this) g_pApp = nullptr;
}

BOOL CWinApp::InitInstance() { return TRUE; }

int CWinApp::Run() {
  MSG msg;
  while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
    if (!WalkPreTranslateTree(&msg)) {
      ::TranslateMessage(&msg);
      ::DispatchMessageW(&msg);
    }
  }
  return static_cast<int>(msg.wParam);
}

CWinApp* AfxGetApp() { return g_pApp; }

HINSTANCE AfxGetInstanceHandle() {
  return g_pApp != nullptr && g_pApp->m_hInstance != nullptr ? g_pApp->m_hInstance
                                                             : ::GetModuleHandleW(nullptr);
}

HWND GetSafeOwner() {
  HWND hWnd =
      g_pApp != nullptr && g_pApp->m_pMainWnd != nullptr ? g_pApp->m_pMainWnd->m_hWnd : nullptr;
  if (hWnd == nullptr) hWnd = ::GetActiveWindow();
  if (hWnd == nullptr) return nullptr;
  hWnd = ::GetAncestor(hWnd, GA_ROOT);
  return ::GetLastActivePopup(hWnd);
}

}  // namespace fw
