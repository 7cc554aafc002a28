#include "TouchSettingPage.h"

#include "resources/resource.h"

CTouchSettingPage::CTouchSettingPage(fw::CWnd* pParent) : CChildPage(IDD_TOUCH_SETTING, pParent) {}
