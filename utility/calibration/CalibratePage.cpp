#include "CalibratePage.h"

#include <imm.h>

#include "framework/MessageMap.h"
#include "resources/resource.h"

CCalibratePage::CCalibratePage(fw::CWnd* pParent) : CChildPage(IDD_CALIBRATE, pParent) {}

const fw::MessageMap* CCalibratePage::GetMessageMap() const {
  static const fw::MessageEntry entries[] = {
      fw::OnCommand<&CCalibratePage::OnInitialState>(IDC_INITIAL_STATE),
      fw::OnCommand<&CCalibratePage::OnTwoPoints>(IDC_TWO_POINTS),
      fw::OnCommand<&CCalibratePage::OnFivePoints>(IDC_FIVE_POINTS),
  };
  static const fw::MessageMap map(CChildPage::GetMessageMap(), entries);
  return &map;
}

void CCalibratePage::DoDataExchange(fw::CDataExchange* pDX) {
  CChildPage::DoDataExchange(pDX);
  fw::DDX_Control(pDX, IDC_FIVE_POINTS, m_btnFivePoints);
  fw::DDX_Control(pDX, IDC_TWO_POINTS, m_btnTwoPoints);
  fw::DDX_Control(pDX, IDC_INITIAL_STATE, m_btnInitialState);
}

BOOL CCalibratePage::OnInitDialog() {
  CChildPage::OnInitDialog();
  m_bmpInitialState.LoadBitmap(IDB_INITIAL_STATE);
  m_btnInitialState.SetBitmap(m_bmpInitialState);
  m_bmpTwoPoints.LoadBitmap(IDB_TWO_POINTS);
  m_btnTwoPoints.SetBitmap(m_bmpTwoPoints);
  m_bmpFivePoints.LoadBitmap(IDB_FIVE_POINTS);
  m_btnFivePoints.SetBitmap(m_bmpFivePoints);

  // Hidden until a calibration starts; its initialisation measures the monitors.
  m_calibrationScreen.Create(IDD_CALIBRATION_SCREEN, this);
  return TRUE;
}

void CCalibratePage::OnInitialState() { m_calibrationScreen.SetInitialState(); }

void CCalibratePage::ShowScreenForCalibration() {
  m_calibrationScreen.ShowWindow(SW_MAXIMIZE);
  while (::ShowCursor(FALSE) >= 0) {
  }
}

void CCalibratePage::OnTwoPoints() {
  ShowScreenForCalibration();
  m_calibrationScreen.StartCalibration(calibration::CalibrationKind::kTwoPoint);
}

void CCalibratePage::OnFivePoints() {
  ShowScreenForCalibration();
  m_calibrationScreen.StartCalibration(calibration::CalibrationKind::kFivePoint);
  SendMessage(WM_IME_NOTIFY, IMN_CLOSESTATUSWINDOW, 0);
}

void CCalibratePage::EndCalibration() { m_calibrationScreen.CancelCalibration(); }
