#pragma once

#include "framework/App.h"

// The utility's application object: runs the main tabbed window modally, once per session.
class CTessaroApp : public fw::CWinApp {
 public:
  BOOL InitInstance() override;
};
