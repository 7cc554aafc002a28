#pragma once

#include <cstdint>
#include <string>

#include "framework/ChildPage.h"
#include "framework/Controls.h"

// The Info tab: the controller's version from its USB hardware identifier, the driver's version
// and the contact text installed beside the utility, all gathered once while the page is made.
class CInfoPage : public fw::CChildPage {
 public:
  explicit CInfoPage(fw::CWnd* pParent = nullptr);
  ~CInfoPage() override;

 protected:
  void DoDataExchange(fw::CDataExchange* pDX) override;
  BOOL OnInitDialog() override;

  // Whether a present device carries the controller's hardware identifier; then it has set
  // the controller's version numbers.
  bool FindControllerRevision();
  // The driver's answer to IOCTL_GET_VERSION; on success it has set the driver's numbers.
  bool QueryDriverVersion();
  bool ShowControllerVersion();
  // Into the hidden row 1023: the visible driver row is a fixed text.
  bool ShowDriverVersion();
  void ShowEmailText();

  fw::CStatic m_stcDriverVersion;
  fw::CStatic m_stcControllerVersion;
  std::int32_t m_nControllerMajor = 0;
  std::int32_t m_nControllerMinor = 0;
  std::int32_t m_nDriverMajor = 0;
  std::int32_t m_nDriverMinor = 0;
  std::string m_strControllerVersion;
  std::string m_strDriverVersion;
};
