#pragma once

#include "framework/ChildPage.h"

// The Touch Setting tab.
class CTouchSettingPage : public fw::CChildPage {
 public:
  explicit CTouchSettingPage(fw::CWnd* pParent = nullptr);
};
