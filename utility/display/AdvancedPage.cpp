#include "AdvancedPage.h"

#include "resources/resource.h"

CAdvancedPage::CAdvancedPage(fw::CWnd* pParent) : CDialog(IDD_ADVANCED, pParent) {}
