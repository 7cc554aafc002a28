#pragma once

#include "framework/App.h"

// Setup's application object: the administrator check, the command line, then the wizard run
// modally once. It has no title of its own, so message boxes left to the framework show the
// program file's base name.
class CSetupApp : public fw::CWinApp {
 public:
  BOOL InitInstance() override;

 private:
  void CheckAdministrator();
  void ReadCommandLine();

  bool m_bAdministrator = false;
  bool m_bInstall = true;
};
