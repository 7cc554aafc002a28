#pragma once

#include "framework/Controls.h"
#include "framework/Dialog.h"

// The wizard: Install or Uninstall, then Next runs the chosen run while the status line and
// the progress bar show where it is; the wizard ends as soon as the run is over.
class CSetupDlg : public fw::CDialog {
 public:
  CSetupDlg(fw::CWnd* pParent, bool install);

  // The status line shows `text`; the bar fills when `finished`, or steps once otherwise.
  BOOL SetStatus(const char* text, bool finished);

 protected:
  void DoDataExchange(fw::CDataExchange* pDX) override;
  BOOL OnInitDialog() override;
  const fw::MessageMap* GetMessageMap() const override;
  // Enter does nothing; the runs start from Next only.
  void OnOK() override {}

  void OnSysCommand(UINT nID, LPARAM lParam);
  void OnPaint();
  HCURSOR OnQueryDragIcon();
  void OnNext();
  void OnInstallSelected();
  void OnUninstallSelected();

  bool IsDevicePresent();
  bool RunInstall();
  bool RunUninstall();

  fw::CStatic m_staticStatus;
  fw::CProgressCtrl m_progressBar;
  int m_nMode;  // 0 Install, 1 Uninstall
  HICON m_hIcon;

 private:
  void ShowLogo();
  void EnableControl(int id, bool enable) const;
  void Finish(const char* text);
};
