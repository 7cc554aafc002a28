#pragma once

#include "framework/Dialog.h"

class CAboutDlg : public fw::CDialog {
 public:
  CAboutDlg();
};
