#pragma once

#include "framework/ChildPage.h"

// The Info tab.
class CInfoPage : public fw::CChildPage {
 public:
  explicit CInfoPage(fw::CWnd* pParent = nullptr);
};
