#include "SetupApp.h"

#include <lm.h>
#include <stdlib.h>

#include "SetupDlg.h"
#include "framework/SingleInstance.h"
#include "install_layout.h"
#include "setup_message.h"

namespace {
// Made before the application object (static initialisation runs in the order of definition).
const fw::CSingleInstance g_singleInstance("Vantora_Setup");

constexpr DWORD kNameBufferSize = 260;
}  // namespace

CSetupApp theApp;

BOOL CSetupApp::InitInstance() {
  // Another setup runs: leave without a window or a word.
  if (g_singleInstance.AlreadyRunning()) return FALSE;

  CheckAdministrator();
  if (!m_bAdministrator) {
    ShowSetupMessage("Log in as an administrator\nto set up Vantora USB");
    return FALSE;
  }
  ReadCommandLine();

  CSetupDlg dlg(nullptr, m_bInstall);
  m_pMainWnd = &dlg;
  dlg.DoModal();
  m_pMainWnd = nullptr;
  return FALSE;
}

// Only an account of the local account database with administrator privilege counts; a name
// that cannot be read, converted or found does not.
void CSetupApp::CheckAdministrator() {
  char name[kNameBufferSize] = {};
  DWORD size = kNameBufferSize;
  if (!::GetUserNameA(name, &size)) return;
  wchar_t wideName[kNameBufferSize] = {};
  if (::MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, name, static_cast<int>(size), wideName,
                            kNameBufferSize) == 0) {
    ShowSetupMessage("Cannot convert log-in name to UNICODE string!");
    return;
  }
  USER_INFO_1* info = nullptr;
  if (::NetUserGetInfo(nullptr, wideName, 1, reinterpret_cast<BYTE**>(&info)) == NERR_Success &&
      info != nullptr) {
    m_bAdministrator = info->usri1_priv == USER_PRIV_ADMIN;
  }
  if (info != nullptr) ::NetApiBufferFree(info);
}

// The runtime splits the command line by the standard rules for program arguments.
void CSetupApp::ReadCommandLine() {
  m_bInstall = !setup::CommandLineSelectsUninstall(__argc, __argv);
}
