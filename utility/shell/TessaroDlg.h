#pragma once

#include <array>

#include "calibration/CalibratePage.h"
#include "display/AdvancedPage.h"
#include "display/InfoPage.h"
#include "framework/Controls.h"
#include "framework/Dialog.h"
#include "touch_settings/TouchSettingPage.h"

// The main window: a tab control over the four pages, one page visible at a time.
class CTessaroDlg : public fw::CDialog {
 public:
  explicit CTessaroDlg(fw::CWnd* pParent = nullptr);
  ~CTessaroDlg() override;

 protected:
  void DoDataExchange(fw::CDataExchange* pDX) override;
  BOOL OnInitDialog() override;
  void OnOK() override;
  void OnCancel() override;
  const fw::MessageMap* GetMessageMap() const override;

  void OnSysCommand(UINT nID, LPARAM lParam);
  void OnPaint();
  HCURSOR OnQueryDragIcon();
  void OnSelchangeTab(NMHDR* pNMHDR, LRESULT* pResult);

  fw::CTabCtrl m_tabCtrl;
  CCalibratePage m_pageCalibrate;
  CTouchSettingPage m_pageTouchSetting;
  CInfoPage m_pageInfo;
  CAdvancedPage m_pageAdvanced;
  HICON m_hIcon;

 private:
  // A tab and the page it shows.
  struct PageEntry {
    const char* tabText;
    UINT templateId;
    fw::CChildPage* page;
  };
  static constexpr std::size_t kPageCount = 4;

  void InsertTabs();
  void CreatePages();

  // In the order of the tabs, which is also the order the pages are created in.
  const std::array<PageEntry, kPageCount> m_pages;
};
