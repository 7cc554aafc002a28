// The hourglass while a long step runs on the user-interface thread; the cursor before it comes
// back when the object ends.
#pragma once

#include <windows.h>

namespace fw {

class CWaitCursor {
 public:
  CWaitCursor() : m_hPrevious(::SetCursor(::LoadCursorA(nullptr, IDC_WAIT))) {}
  CWaitCursor(const CWaitCursor&) = delete;
  CWaitCursor& operator=(const CWaitCursor&) = delete;
  ~CWaitCursor() { ::SetCursor(m_hPrevious); }

 private:
  HCURSOR m_hPrevious;
};

}  // namespace fw
