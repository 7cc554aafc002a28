// The base of a page of a tabbed window: a modeless child dialog that lives as long as the
// window that holds it.
#pragma once

#include "framework/Dialog.h"

namespace fw {

class CChildPage : public CDialog {
 public:
  using CDialog::CDialog;

 protected:
  // Enter and ESC inside a page must never end it: it is not a dialog of its own.
  void OnOK() override {}
  void OnCancel() override {}
};

}  // namespace fw
