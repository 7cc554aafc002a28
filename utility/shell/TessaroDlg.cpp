#include "TessaroDlg.h"

#include "AboutDlg.h"
#include "driver_link/settings_store.h"
#include "framework/App.h"
#include "framework/MessageMap.h"
#include "resources/resource.h"

CTessaroDlg::CTessaroDlg(fw::CWnd* pParent)
    : CDialog(IDD_TESSARO_DIALOG, pParent),
      m_hIcon(::LoadIconW(fw::AfxGetInstanceHandle(), MAKEINTRESOURCEW(IDR_MAINFRAME))),
      m_pages{{{"Calibrate", IDD_CALIBRATE, &m_pageCalibrate},
               {"Touch Setting", IDD_TOUCH_SETTING, &m_pageTouchSetting},
               {"Info", IDD_INFO, &m_pageInfo},
               {"Advanced", IDD_ADVANCED, &m_pageAdvanced}}} {}

CTessaroDlg::~CTessaroDlg() = default;

const fw::MessageMap* CTessaroDlg::GetMessageMap() const {
  static const fw::MessageEntry entries[] = {
      fw::OnMessage<&CTessaroDlg::OnSysCommand>(WM_SYSCOMMAND),
      fw::OnMessage<&CTessaroDlg::OnPaint>(WM_PAINT),
      fw::OnMessage<&CTessaroDlg::OnQueryDragIcon>(WM_QUERYDRAGICON),
      fw::OnNotify<&CTessaroDlg::OnSelchangeTab>(IDC_TAB, TCN_SELCHANGE),
  };
  static const fw::MessageMap map(CDialog::GetMessageMap(), entries);
  return &map;
}

void CTessaroDlg::DoDataExchange(fw::CDataExchange* pDX) {
  CDialog::DoDataExchange(pDX);
  fw::DDX_Control(pDX, IDC_TAB, m_tabCtrl);
}

BOOL CTessaroDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  fw::AppendAboutItem(*this, IDS_ABOUTBOX, IDM_ABOUTBOX);
  fw::SetDialogIcons(*this, m_hIcon);

  // Every page reads the settings key while it is created.
  g_strSettingsKey = "System\\CurrentControlSet\\Services\\VantoraUSB";

  InsertTabs();
  CreatePages();

  NMHDR header{};
  LRESULT result = 0;
  OnSelchangeTab(&header, &result);
  return TRUE;
}

// Every way the program ends (OK, Enter, the close box, the system menu's or the taskbar's
// Close, Alt+F4) comes here: a calibration under way is undone first.
void CTessaroDlg::OnOK() {
  m_pageCalibrate.EndCalibration();
  CDialog::OnOK();
}

void CTessaroDlg::OnCancel() {
  m_pageCalibrate.EndCalibration();
  CDialog::OnCancel();
}

void CTessaroDlg::InsertTabs() {
  for (std::size_t i = 0; i < m_pages.size(); ++i) {
    m_tabCtrl.InsertItem(static_cast<int>(i), m_pages[i].tabText);
  }
}

// The order matters: the Calibrate page's calibration screen sets the display state that the
// Advanced page reads.
void CTessaroDlg::CreatePages() {
  for (const PageEntry& entry : m_pages) entry.page->Create(entry.templateId, this);
}

void CTessaroDlg::OnSelchangeTab(NMHDR*, LRESULT* pResult) {
  const int selection = m_tabCtrl.GetCurSel();
  if (selection >= 0 && static_cast<std::size_t>(selection) < m_pages.size()) {
    for (std::size_t i = 0; i < m_pages.size(); ++i) {
      m_pages[i].page->ShowWindow(i == static_cast<std::size_t>(selection) ? SW_SHOW : SW_HIDE);
    }
  }
  *pResult = 0;
}

void CTessaroDlg::OnSysCommand(UINT nID, LPARAM) {
  if ((nID & 0xFFF0) == IDM_ABOUTBOX) {
    CAboutDlg dlgAbout;
    dlgAbout.DoModal();
    return;
  }
  Default();
}

void CTessaroDlg::OnPaint() {
  if (!fw::PaintMinimizedIcon(*this, m_hIcon)) Default();
}

HCURSOR CTessaroDlg::OnQueryDragIcon() { return static_cast<HCURSOR>(m_hIcon); }
