#include "InfoPage.h"

#include "resources/resource.h"

CInfoPage::CInfoPage(fw::CWnd* pParent) : CChildPage(IDD_INFO, pParent) {}
