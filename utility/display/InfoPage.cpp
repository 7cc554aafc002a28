#include "InfoPage.h"

#include "resources/resource.h"

CInfoPage::CInfoPage(fw::CWnd* pParent) : CDialog(IDD_INFO, pParent) {}
