#include "AdvancedPage.h"

#include "resources/resource.h"

CAdvancedPage::CAdvancedPage(fw::CWnd* pParent) : CChildPage(IDD_ADVANCED, pParent) {}
