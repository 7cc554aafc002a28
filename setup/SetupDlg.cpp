#include "SetupDlg.h"

#include <setupapi.h>

#include "AboutDlg.h"
#include "common/hardware_id.h"
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
constexpr DWORD kHardwareIdBufferSize = 256;

// A zero-filled buffer from LocalAlloc, freed when it ends.
class LocalBuffer {
 public:
  explicit LocalBuffer(DWORD size)
      : m_pData(static_cast<char*>(::LocalAlloc(LPTR, size))), m_nSize(size) {}
  LocalBuffer(const LocalBuffer&) = delete;
  LocalBuffer& operator=(const LocalBuffer&) = delete;
  ~LocalBuffer() {
    if (m_pData != nullptr) ::LocalFree(m_pData);
  }
  char* Data() const { return m_pData; }
  DWORD Size() const { return m_pData != nullptr ? m_nSize : 0; }

 private:
  char* m_pData;
  DWORD m_nSize;
};

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

enum class IdRead { kMatch, kNoMatch, kFailed };

// One device's hardware identifiers: whether one is the controller's, or whether the whole
// scan has to end.
IdRead ReadControllerId(HDEVINFO set, SP_DEVINFO_DATA* device) {
  DWORD size = kHardwareIdBufferSize;
  for (int attempt = 0; attempt < 2; ++attempt) {
    LocalBuffer buffer(size);
    if (buffer.Data() == nullptr) return IdRead::kFailed;
    DWORD reported = 0;
    if (::SetupDiGetDeviceRegistryPropertyA(set, device, SPDRP_HARDWAREID, nullptr,
                                            reinterpret_cast<BYTE*>(buffer.Data()),
                                            buffer.Size(), &reported)) {
      return hwid::HasControllerId(buffer.Data(), buffer.Size(), reported) ? IdRead::kMatch
                                                                           : IdRead::kNoMatch;
    }
    const DWORD error = ::GetLastError();
    if (error == ERROR_INVALID_DATA) return IdRead::kNoMatch;  // a device without hardware ids
    if (error != ERROR_INSUFFICIENT_BUFFER || attempt > 0) return IdRead::kFailed;
    size = reported;
  }
  return IdRead::kFailed;
}

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
  ::SendMessageW(GetDlgItem(IDC_LOGO), STM_SETIMAGE, IMAGE_BITMAP,
                 reinterpret_cast<LPARAM>(logo));
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
  HDEVINFO set =
      ::SetupDiGetClassDevsA(nullptr, nullptr, nullptr, DIGCF_PRESENT | DIGCF_ALLCLASSES);
  if (set == INVALID_HANDLE_VALUE) return false;
  SP_DEVINFO_DATA device{};
  device.cbSize = sizeof(device);
  bool present = false;
  for (DWORD index = 0; !present && ::SetupDiEnumDeviceInfo(set, index, &device); ++index) {
    const IdRead read = ReadControllerId(set, &device);
    if (read == IdRead::kFailed) break;
    present = read == IdRead::kMatch;
  }
  ::SetupDiDestroyDeviceInfoList(set);
  return present;
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
