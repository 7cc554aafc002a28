#pragma once

#include "Dialog.h"

class CAboutDlg : public fw::CDialog {
 public:
  CAboutDlg();
};
