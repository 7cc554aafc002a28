#include "CalibratePage.h"

#include "resources/resource.h"

CCalibratePage::CCalibratePage(fw::CWnd* pParent) : CDialog(IDD_CALIBRATE, pParent) {}
