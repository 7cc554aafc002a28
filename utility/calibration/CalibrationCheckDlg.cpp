#include "CalibrationCheckDlg.h"

#include "framework/MessageMap.h"
#include "resources/resource.h"

CCalibrationCheckDlg::CCalibrationCheckDlg(int nPointCount, fw::CWnd* pParent)
    : CDialog(IDD_CALIBRATION_CHECK, pParent), m_nPointCount(nPointCount) {}

const fw::MessageMap* CCalibrationCheckDlg::GetMessageMap() const {
  static const fw::MessageEntry entries[] = {
      fw::OnCommand<&CCalibrationCheckDlg::OnModify>(IDC_MODIFY),
  };
  static const fw::MessageMap map(CDialog::GetMessageMap(), entries);
  return &map;
}

BOOL CCalibrationCheckDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  // Mirroring is offered for the two-point calibration only.
  if (m_nPointCount == 5) {
    ::ShowWindow(GetDlgItem(IDC_MODIFY), SW_HIDE);
    ::ShowWindow(GetDlgItem(IDC_MODIFY_TEXT), SW_HIDE);
  }
  return TRUE;
}

void CCalibrationCheckDlg::OnModify() { EndDialog(kModifyResult); }
