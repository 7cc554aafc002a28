#include "SetupDlg.h"

#include "AboutDlg.h"
#include "common/hardware_id.h"
#include "common/present_devices.h"
#include "framework/App.h"
#include "framework/MessageMap.h"
#include "framework/WaitCursor.h"
#include "install_steps.h"
#include "resources/resource.h"
#include "uninstall_steps.h"

namespace {

constexpr int kModeInstall = 0;
constexpr int kModeUninstall = 1;
constexpr char kLogoFile[] = "vantora_logo.bmp";
// A device whose list outgrows the first read is read once more, at the size the system asks
// for; any other failed read ends the scan.
constexpr hwid::IdScan kControllerScan = {256, hwid::ReRead::kOnce, hwid::OnFailure::kEndScan};

// The uninstallation's steps in their order, each announced on the status line before it runs.
struct UninstallStep {
  const char* status;
  BOOL (*run)();
};
constexpr UninstallStep kUninstallSteps[] = {
    {"Uninstall Driver ...", RemoveDriver},
    {"Delete Registry ...", DeleteServiceKey},
    {"Delete Shortcuts ...", DeleteShortcuts},
    {"Delete Files ...", DeleteFiles},
};

}  // namespace

CSetupDlg::CSetupDlg(fw::CWnd* pParent, bool install)
    : CDialog(IDD_SETUP_DIALOG, pParent),
      m_nMode(install ? kModeInstall : kModeUninstall),
      m_hIcon(::LoadIconW(fw::AfxGetInstanceHandle(), MAKEINTRESOURCEW(IDR_MAINFRAME))) {}

const fw::MessageMap* CSetupDlg::GetMessageMap() const {
  static const fw::MessageEntry entries[] = {
      fw::OnMessage<&CSetupDlg::OnSysCommand>(WM_SYSCOMMAND),
      fw::OnMessage<&CSetupDlg::OnPaint>(WM_PAINT),
      fw::OnMessage<&CSetupDlg::OnQueryDragIcon>(WM_QUERYDRAGICON),
      fw::OnCommand<&CSetupDlg::OnNext>(IDC_NEXT),
      fw::OnCommand<&CSetupDlg::OnInstallSelected>(IDC_INSTALL),
      fw::OnCommand<&CSetupDlg::OnUninstallSelected>(IDC_UNINSTALL),
  };
  static const fw::MessageMap map(CDialog::GetMessageMap(), entries);
  return &map;
}

void CSetupDlg::DoDataExchange(fw::CDataExchange* pDX) {
  CDialog::DoDataExchange(pDX);
  fw::DDX_Control(pDX, IDC_STATUS, m_staticStatus);
  fw::DDX_Control(pDX, IDC_PROGRESS, m_progressBar);
  fw::DDX_Radio(pDX, IDC_INSTALL, m_nMode);
}

BOOL CSetupDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  fw::AppendAboutItem(*this, IDS_ABOUTBOX, IDM_ABOUTBOX);
  fw::SetDialogIcons(*this, m_hIcon);
  ::SetWindowTextA(m_hWnd, "Vantora");
  ShowLogo();
  if (m_nMode == kModeInstall) {
    OnInstallSelected();
  } else {
    OnUninstallSelected();
  }
  return TRUE;
}

// The logo is a file of the install set in the current directory; without it the picture
// stays blank.
void CSetupDlg::ShowLogo() {
  HANDLE logo = ::LoadImageA(nullptr, kLogoFile, IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE);
  if (logo == nullptr) return;
  ::SendMessageW(GetDlgItem(IDC_LOGO), STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(logo));
}

void CSetupDlg::OnSysCommand(UINT nID, LPARAM) {
  if ((nID & 0xFFF0) == IDM_ABOUTBOX) {
    CAboutDlg dlgAbout;
    dlgAbout.DoModal();
    return;
  }
  Default();
}

void CSetupDlg::OnPaint() {
  if (!fw::PaintMinimizedIcon(*this, m_hIcon)) Default();
}

HCURSOR CSetupDlg::OnQueryDragIcon() { return static_cast<HCURSOR>(m_hIcon); }

void CSetupDlg::OnInstallSelected() {
  ::SetWindowTextA(m_staticStatus, "");
  m_progressBar.SetRange(0, 100);
  m_progressBar.SetPos(0);
  m_progressBar.SetStep(5);
}

void CSetupDlg::OnUninstallSelected() {
  ::SetWindowTextA(m_staticStatus, "");
  m_progressBar.SetRange(0, 100);
  m_progressBar.SetStep(25);
  m_progressBar.SetPos(0);
}

BOOL CSetupDlg::SetStatus(const char* text, bool finished) {
  ::SetWindowTextA(m_staticStatus, text);
  if (finished) {
    PBRANGE range{};
    m_progressBar.SendMessage(PBM_GETRANGE, FALSE, reinterpret_cast<LPARAM>(&range));
    m_progressBar.SetPos(range.iHigh);
  } else {
    m_progressBar.StepIt();
  }
  return TRUE;
}

void CSetupDlg::OnNext() {
  UpdateData(TRUE);
  if (m_nMode == kModeUninstall) {
    RunUninstall();
  } else {
    bool present = IsDevicePresent();
    while (!present) {
      if (fw::AfxMessageBox("Make sure you plugged in USB.", MB_OKCANCEL | MB_ICONEXCLAMATION) ==
          IDCANCEL) {
        break;
      }
      present = IsDevicePresent();
    }
    if (present) RunInstall();
  }
  // The wizard never stays open after a run.
  EndDialog(IDCANCEL);
}

bool CSetupDlg::IsDevicePresent() {
  return hwid::ScanPresentDeviceIds(
             kControllerScan, [](HDEVINFO, SP_DEVINFO_DATA&, const char* ids, std::size_t capacity,
                                 std::size_t reported) {
               return hwid::HasControllerId(ids, capacity, reported);
             }) == hwid::ScanEnd::kStopped;
}

void CSetupDlg::EnableControl(int id, bool enable) const {
  ::EnableWindow(GetDlgItem(id), enable ? TRUE : FALSE);
}

bool CSetupDlg::RunInstall() {
  EnableControl(IDC_INSTALL, false);
  EnableControl(IDC_UNINSTALL, false);
  EnableControl(IDC_NEXT, false);
  {
    fw::CWaitCursor wait;
    CopyFiles();
  }
  {
    fw::CWaitCursor wait;
    CreateShortcuts();
  }
  if (IsDriverInstalled()) {
    fw::AfxMessageBox("Driver is already installed!", MB_OK);
  } else {
    fw::CWaitCursor wait;
    InstallDriver();
  }
  SetDoubleClickArea();
  fw::AfxMessageBox("Calibrate your touchscreen on Tessaro\n after this setup",
                    MB_OK | MB_ICONEXCLAMATION);
  Finish("Installation is done");
  return true;
}

bool CSetupDlg::RunUninstall() {
  EnableControl(IDC_INSTALL, false);
  EnableControl(IDC_UNINSTALL, false);
  for (const UninstallStep& step : kUninstallSteps) {
    SetStatus(step.status, false);
    fw::CWaitCursor wait;
    step.run();
  }
  Finish("Uninstallation is done");
  return true;
}

void CSetupDlg::Finish(const char* text) {
  SetStatus(text, true);
  HWND exitButton = GetDlgItem(IDCANCEL);
  ::SetWindowTextA(exitButton, "E&xit");
  SendMessage(WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(exitButton), TRUE);
  EnableControl(IDC_INSTALL, true);
  EnableControl(IDC_UNINSTALL, true);
}
