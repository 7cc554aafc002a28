#pragma once

#include "framework/ChildPage.h"

// The Advanced tab.
class CAdvancedPage : public fw::CChildPage {
 public:
  explicit CAdvancedPage(fw::CWnd* pParent = nullptr);
};
