#include "InfoPage.h"

#include <cstdio>
#include <cstring>
#include <optional>

#include "common/hardware_id.h"
#include "common/present_devices.h"
#include "driver_link/device_control.h"
#include "driver_link/settings_store.h"
#include "driver_link/tessaro_driver.h"
#include "resources/resource.h"

namespace {

// A device's list is read again at the size the system asks for, as long as that size grows;
// any other failed read ends the scan.
constexpr hwid::IdScan kControllerScan = {256, hwid::ReRead::kWhileGrowing,
                                          hwid::OnFailure::kEndScan};
constexpr char kInstalledEmailFile[] = "\\Vantora\\USB\\tessaro_email.txt";
constexpr char kLocalEmailFile[] = ".\\tessaro_email.txt";
constexpr DWORD kEmailTextSize = 256;

// Opens an existing file for reading, shared with nobody.
HANDLE OpenForReading(const char* path) {
  return ::CreateFileA(path, GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                       nullptr);
}

// The installed copy in the Program Files folder first, then the one in the current directory.
// An installed path that would not fit the path buffer is not tried.
HANDLE OpenEmailFile() {
  char path[MAX_PATH] = {};
  if (GetShellFolderPath(path, kFolderProgramFiles) &&
      std::strlen(path) + sizeof(kInstalledEmailFile) <= sizeof(path)) {
    std::strcat(path, kInstalledEmailFile);
    HANDLE file = OpenForReading(path);
    if (file != INVALID_HANDLE_VALUE) return file;
  }
  return OpenForReading(kLocalEmailFile);
}

std::string FormatVersion(const char* format, std::int32_t major, std::int32_t minor) {
  char text[64] = {};
  std::snprintf(text, sizeof(text), format, static_cast<int>(major), static_cast<int>(minor));
  return text;
}

}  // namespace

CInfoPage::CInfoPage(fw::CWnd* pParent) : CChildPage(IDD_INFO, pParent) {}

CInfoPage::~CInfoPage() = default;

void CInfoPage::DoDataExchange(fw::CDataExchange* pDX) {
  CChildPage::DoDataExchange(pDX);
  fw::DDX_Control(pDX, IDC_DRIVER_VERSION, m_stcDriverVersion);
  fw::DDX_Control(pDX, IDC_CONTROLLER_VERSION, m_stcControllerVersion);
}

BOOL CInfoPage::OnInitDialog() {
  CChildPage::OnInitDialog();
  m_nControllerMajor = 0;
  m_nControllerMinor = 0;
  m_nDriverMajor = 0;
  m_nDriverMinor = 0;
  if (FindControllerRevision()) ShowControllerVersion();
  if (QueryDriverVersion()) ShowDriverVersion();
  ShowEmailText();
  return TRUE;
}

// The first present device, in enumeration order, whose identifiers name the controller.
bool CInfoPage::FindControllerRevision() {
  return hwid::ScanPresentDeviceIds(kControllerScan,
                                    [this](HDEVINFO, SP_DEVINFO_DATA&, const char* ids,
                                           std::size_t capacity, std::size_t reported) {
                                      const std::optional<hwid::ControllerRevision> revision =
                                          hwid::FindControllerRevision(ids, capacity, reported);
                                      if (!revision) return false;
                                      m_nControllerMajor = revision->major;
                                      m_nControllerMinor = revision->minor;
                                      return true;
                                    }) == hwid::ScanEnd::kStopped;
}

bool CInfoPage::QueryDriverVersion() {
  DriverVersion version{};
  DWORD returned = 0;
  if (!DeviceControl(IOCTL_GET_VERSION, nullptr, 0, &version, sizeof(version), &returned,
                     nullptr)) {
    return false;
  }
  m_nDriverMajor = version.major;
  m_nDriverMinor = version.minor;
  return true;
}

bool CInfoPage::ShowControllerVersion() {
  m_strControllerVersion =
      FormatVersion("Controller Version: %d.%.2d", m_nControllerMajor, m_nControllerMinor);
  ::SetWindowTextA(m_stcControllerVersion, m_strControllerVersion.c_str());
  return true;
}

bool CInfoPage::ShowDriverVersion() {
  m_strDriverVersion = FormatVersion("Driver Version: %d.%.2d", m_nDriverMajor, m_nDriverMinor);
  ::SetWindowTextA(m_stcDriverVersion, m_strDriverVersion.c_str());
  return true;
}

// Row 1052 gets the first 256 bytes of the contact file, up to a NUL among them; its bullet
// shows only when there was text.
void CInfoPage::ShowEmailText() {
  char text[kEmailTextSize + 1] = {};  // room for the terminator after a full read
  HANDLE file = OpenEmailFile();
  if (file == INVALID_HANDLE_VALUE) return;
  DWORD read = 0;
  if (::ReadFile(file, text, kEmailTextSize, &read, nullptr) && read > 0) {
    ::SetDlgItemTextA(m_hWnd, IDC_EMAIL_TEXT, text);
    ::ShowWindow(GetDlgItem(IDC_EMAIL_BULLET), SW_SHOWNORMAL);
  }
  ::CloseHandle(file);
}
