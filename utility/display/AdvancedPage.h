#pragma once

#include <cstdint>

#include "display/MonitorPickerWnd.h"
#include "framework/ChildPage.h"

// The Advanced tab: which monitor the touch panel maps onto, and the cable's connection
// direction. Each button sends one request and stores its value once the driver took it.
class CAdvancedPage : public fw::CChildPage {
 public:
  explicit CAdvancedPage(fw::CWnd* pParent = nullptr);
  ~CAdvancedPage() override;

 protected:
  BOOL OnInitDialog() override;
  const fw::MessageMap* GetMessageMap() const override;

  void OnSelect();
  void OnSet();
  void OnLtrb();
  void OnBrtl();

  enum AdvancedSettingKind : int {
    kAdvancedSingleMonitor = 1,
    kAdvancedLTRB = 2,
    kAdvancedBRTL = 4,
  };
  bool SaveAdvancedSetting(AdvancedSettingKind kind);

  // Its window exists only with two or more monitors.
  CMonitorPickerWnd m_wndMonitorPicker;
  std::uint32_t m_nMonitorCount = 0;
  std::int32_t m_cxVirtualScreen = 0;
  std::int32_t m_cyVirtualScreen = 0;
  std::int32_t m_xVirtualScreen = 0;
  std::int32_t m_yVirtualScreen = 0;

 private:
  void SendCableConnection(std::int32_t connection, AdvancedSettingKind kind,
                           const char* failureText);
};
