#include "AdvancedPage.h"

#include "display/display_settings.h"
#include "display_state/display_state.h"
#include "driver_link/device_control.h"
#include "driver_link/tessaro_driver.h"
#include "framework/MessageMap.h"
#include "resources/resource.h"

CAdvancedPage::CAdvancedPage(fw::CWnd* pParent) : CChildPage(IDD_ADVANCED, pParent) {}

CAdvancedPage::~CAdvancedPage() = default;

const fw::MessageMap* CAdvancedPage::GetMessageMap() const {
  static const fw::MessageEntry entries[] = {
      fw::OnCommand<&CAdvancedPage::OnSelect>(IDC_SELECT_MONITOR),
      fw::OnCommand<&CAdvancedPage::OnSet>(IDC_SINGLE_MONITOR),
      fw::OnCommand<&CAdvancedPage::OnBrtl>(IDC_BRTL),
      fw::OnCommand<&CAdvancedPage::OnLtrb>(IDC_LTRB),
  };
  static const fw::MessageMap map(CChildPage::GetMessageMap(), entries);
  return &map;
}

// Created after the Calibrate page, whose calibration screen has counted the monitors.
BOOL CAdvancedPage::OnInitDialog() {
  CChildPage::OnInitDialog();
  m_nMonitorCount = static_cast<std::uint32_t>(g_nMonitorCount);
  if (m_nMonitorCount < 2) {
    ::EnableWindow(GetDlgItem(IDC_SELECT_MONITOR), FALSE);
    return TRUE;
  }
  m_wndMonitorPicker.Create(IDD_MONITOR_PICKER, this);
  m_cxVirtualScreen = ::GetSystemMetrics(SM_CXVIRTUALSCREEN);
  m_cyVirtualScreen = ::GetSystemMetrics(SM_CYVIRTUALSCREEN);
  m_xVirtualScreen = ::GetSystemMetrics(SM_XVIRTUALSCREEN);
  m_yVirtualScreen = ::GetSystemMetrics(SM_YVIRTUALSCREEN);
  m_wndMonitorPicker.SetOrigin(m_xVirtualScreen, m_yVirtualScreen);
  return TRUE;
}

void CAdvancedPage::OnSelect() {
  if (m_wndMonitorPicker.GetSafeHwnd() == nullptr) return;
  ::MoveWindow(m_wndMonitorPicker, m_xVirtualScreen, m_yVirtualScreen, m_cxVirtualScreen,
               m_cyVirtualScreen, TRUE);
  m_wndMonitorPicker.ShowWindow(SW_SHOW);
}

// Back to the primary monitor, in the driver and in this program, even when the driver
// refused: the calibration must not go on measuring another monitor.
void CAdvancedPage::OnSet() {
  if (SendRequest(IOCTL_SINGLE_MONITOR, nullptr, 0, "IOCTL_SINGLE_MONITOR falied")) {
    SaveAdvancedSetting(kAdvancedSingleMonitor);
  }
  ResetTouchMonitorToPrimary();
}

void CAdvancedPage::OnLtrb() {
  SendCableConnection(kCableLTRB, kAdvancedLTRB, "IOCTL_CABLE_CONNECTION falied");
}

void CAdvancedPage::OnBrtl() {
  SendCableConnection(kCableBRTL, kAdvancedBRTL, "TOUSCR_IOCTL_CABLE_CONNECTION falied");
}

void CAdvancedPage::SendCableConnection(std::int32_t connection, AdvancedSettingKind kind,
                                        const char* failureText) {
  const auto input = static_cast<CableConnectionByte>(connection);
  if (SendRequest(IOCTL_CABLE_CONNECTION, &input, sizeof(input), failureText)) {
    SaveAdvancedSetting(kind);
  }
}

bool CAdvancedPage::SaveAdvancedSetting(AdvancedSettingKind kind) {
  switch (kind) {
    case kAdvancedSingleMonitor:
      return StoreDwordSettings({{"MultiMonitor", 0}});
    case kAdvancedLTRB:
      return StoreDwordSettings({{"LTRB", static_cast<DWORD>(kCableLTRB)}});
    case kAdvancedBRTL:
      return StoreDwordSettings({{"LTRB", static_cast<DWORD>(kCableBRTL)}});
  }
  return false;
}
