// The application object: one static instance per program, run by the framework's WinMain.
#pragma once

#include <windows.h>

namespace fw {

class CWnd;

class CWinApp {
 public:
  CWinApp();
  CWinApp(const CWinApp&) = delete;
  CWinApp& operator=(const CWinApp&) = delete;
  virtual ~CWinApp();

  // Returns false to end the program when it returns; a dialog-based program does all its
  // work inside.
  virtual BOOL InitInstance();
  // The message loop of a program whose InitInstance returned true.
  virtual int Run();

  HINSTANCE m_hInstance = nullptr;
  CWnd* m_pMainWnd = nullptr;
};

CWinApp* AfxGetApp();
HINSTANCE AfxGetInstanceHandle();
// The window that new modal dialogs and message boxes are owned by: the last active popup of
// the main window, or none.
HWND GetSafeOwner();

}  // namespace fw
