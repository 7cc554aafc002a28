#include "TessaroApp.h"

#include "TessaroDlg.h"
#include "framework/SingleInstance.h"

namespace {
// Made before the application object (static initialisation runs in the order of definition).
const fw::CSingleInstance g_singleInstance("Vantora_Tessaro");
}  // namespace

CTessaroApp theApp;

BOOL CTessaroApp::InitInstance() {
  // Another instance runs: leave without a window or a word.
  if (g_singleInstance.AlreadyRunning()) return FALSE;

  CTessaroDlg dlg;
  m_pMainWnd = &dlg;
  dlg.DoModal();
  m_pMainWnd = nullptr;
  return FALSE;
}
