#pragma once

#include "App.h"

// The utility's application object: runs the main tabbed window modally, once per session.
class CTessaroApp : public fw::CWinApp {
 public:
  BOOL InitInstance() override;
};

// Held open, not owned, for the life of the process; a second instance finds it.
extern HANDLE g_hSingleInstanceMutex;
extern DWORD g_dwMutexCreateError;
