#pragma once

#include "framework/Controls.h"

// A push button that a right-button press works like a left-button press.
class CRightClickButton : public fw::CButton {
 public:
  BOOL PreTranslateMessage(MSG* pMsg) override;
};
