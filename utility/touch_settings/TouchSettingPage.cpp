#include "TouchSettingPage.h"

#include "resources/resource.h"

CTouchSettingPage::CTouchSettingPage(fw::CWnd* pParent) : CDialog(IDD_TOUCH_SETTING, pParent) {}
