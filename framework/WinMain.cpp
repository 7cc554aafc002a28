// The entry point of every program built on the framework: it runs the one application object.
#include <windows.h>
// after windows.h
#include <commctrl.h>

#include "framework/App.h"

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE, LPSTR, int) {
  fw::CWinApp* app = fw::AfxGetApp();
  if (app == nullptr) return 1;
  app->m_hInstance = hInstance;

  INITCOMMONCONTROLSEX controls{sizeof(controls),
                                ICC_TAB_CLASSES | ICC_BAR_CLASSES | ICC_PROGRESS_CLASS};
  ::InitCommonControlsEx(&controls);

  if (!app->InitInstance()) return 0;
  return app->Run();
}
