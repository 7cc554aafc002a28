#include "touch_settings/RightClickButton.h"

BOOL CRightClickButton::PreTranslateMessage(MSG* pMsg) {
  // Only the message number changes: the position and key flags stay as they came.
  switch (pMsg->message) {
    case WM_RBUTTONDOWN:
      pMsg->message = WM_LBUTTONDOWN;
      break;
    case WM_RBUTTONUP:
      pMsg->message = WM_LBUTTONUP;
      break;
    case WM_RBUTTONDBLCLK:
      pMsg->message = WM_LBUTTONDBLCLK;
      break;
    default:
      break;
  }
  return CButton::PreTranslateMessage(pMsg);
}
