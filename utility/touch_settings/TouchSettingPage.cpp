#include "touch_settings/TouchSettingPage.h"

#include <algorithm>
#include <string>
#include <vector>

#include "driver_link/device_control.h"
#include "driver_link/setting_writes.h"
#include "driver_link/settings_store.h"
#include "driver_link/tessaro_driver.h"
#include "framework/App.h"
#include "framework/MessageMap.h"
#include "resources/resource.h"
#include "touch_settings/touch_settings_math.h"

namespace {

// The system's normal arrow cursor (OCR_NORMAL of the OEM resources).
constexpr DWORD kNormalArrowCursor = 32512;

constexpr int kDblclkSpeedMin = 200;
constexpr int kDblclkSpeedMax = 800;
// The speed slider runs from slow at the left to fast at the right: position = 1000 - time.
constexpr int kDblclkSpeedMirror = 1000;
constexpr int kDblclkAreaMax = 100;

constexpr char kInstalledMausvex[] = "\\Vantora\\USB\\Mausvex.exe";
constexpr char kLocalMausvex[] = ".\\Mausvex.exe";
constexpr DWORD kPathBufferSize = 260;

// The Program Files folder as the system's own key names it. The key is opened with full
// access, as everything of this program is: without administrator rights the lookup fails and
// only the copy in the current folder is tried.
bool ReadProgramFilesDir(std::string* folder) {
  char path[kPathBufferSize] = {};
  if (!GetShellFolderPath(path, kFolderProgramFiles, KEY_ALL_ACCESS)) return false;
  *folder = path;
  return true;
}

// WinExec answers a number above 31 when the program started.
bool StartProgram(const std::string& commandLine) {
  return ::WinExec(commandLine.c_str(), SW_SHOW) > 31;
}

}  // namespace

CTouchSettingPage::CTouchSettingPage(fw::CWnd* pParent)
    : CChildPage(IDD_TOUCH_SETTING, pParent), m_nToneDivisor(touch_settings::kInitialToneDivisor) {}

const fw::MessageMap* CTouchSettingPage::GetMessageMap() const {
  using C = CTouchSettingPage;
  static const fw::MessageEntry entries[] = {
      fw::OnNotify<&C::OnReleasedCaptureCursorMovement>(IDC_CURSOR_MOVEMENT, NM_RELEASEDCAPTURE),
      fw::OnNotify<&C::OnReleasedCaptureDblclkSpeed>(IDC_DBLCLK_SPEED, NM_RELEASEDCAPTURE),
      fw::OnNotify<&C::OnReleasedCaptureDblclkArea>(IDC_DBLCLK_AREA, NM_RELEASEDCAPTURE),
      fw::OnNotify<&C::OnReleasedCaptureSoundFrequency>(IDC_SOUND_FREQUENCY, NM_RELEASEDCAPTURE),
      fw::OnNotify<&C::OnReleasedCaptureSoundDuration>(IDC_SOUND_DURATION, NM_RELEASEDCAPTURE),
      fw::OnCommand<&C::OnTouchSound>(IDC_TOUCH_SOUND),
      fw::OnCommand<&C::OnCursorDisplay>(IDC_CURSOR_DISPLAY),
      fw::OnCommand<&C::OnDblclkTest>(IDC_DBLCLK_TEST),
      fw::OnCommand<&C::OnLaunch>(IDC_LAUNCH),
  };
  static const fw::MessageMap map(CChildPage::GetMessageMap(), entries);
  return &map;
}

void CTouchSettingPage::DoDataExchange(fw::CDataExchange* pDX) {
  CChildPage::DoDataExchange(pDX);
  fw::DDX_Control(pDX, IDC_CURSOR_MOVEMENT, m_sliderCursorMovement);
  fw::DDX_Control(pDX, IDC_DBLCLK_SPEED, m_sliderDblclkSpeed);
  fw::DDX_Control(pDX, IDC_DBLCLK_AREA, m_sliderDblclkArea);
  fw::DDX_Control(pDX, IDC_SOUND_FREQUENCY, m_sliderSoundFrequency);
  fw::DDX_Control(pDX, IDC_SOUND_DURATION, m_sliderSoundDuration);
  fw::DDX_Control(pDX, IDC_DBLCLK_TEST, m_btnDblclkTest);
  fw::DDX_Control(pDX, IDC_CURSOR_DISPLAY, m_btnCursorDisplay);
  fw::DDX_Control(pDX, IDC_TOUCH_SOUND, m_btnTouchSound);
  fw::DDX_Control(pDX, IDC_LAUNCH, m_btnLaunch);
}

// Shows the system's and the stored settings; sends nothing and changes no system setting.
BOOL CTouchSettingPage::OnInitDialog() {
  CChildPage::OnInitDialog();
  m_nCursorDisplay = 1;
  m_nTouchSound = 0;
  m_nFrequencyPosition = 1;
  m_nDuration = 1;
  m_nFilterPosition = 0;

  InitDoubleClickSliders();
  m_sliderSoundFrequency.SetRange(touch_settings::kFrequencyPositionMin,
                                  touch_settings::kFrequencyPositionMax);
  m_sliderSoundDuration.SetRange(touch_settings::kDurationMin, touch_settings::kDurationMax);

  m_bmpBulbUnlit.LoadBitmap(IDB_BULB_UNLIT);
  m_bmpBulbLit.LoadBitmap(IDB_BULB_LIT);
  m_btnDblclkTest.SetBitmap(m_bmpBulbUnlit);

  // The test accepts the system's own time, also one the speed slider cannot show.
  m_nDoubleClickTime = ::GetDoubleClickTime();
  m_nTestState = 0;

  LoadTouchSettings();

  ::SetWindowTextA(m_btnTouchSound, m_nTouchSound != 0 ? "On" : "Off");
  ::SetWindowTextA(m_btnCursorDisplay, m_nCursorDisplay != 0 ? "On" : "Off");
  m_sliderSoundFrequency.SetPos(m_nFrequencyPosition);
  m_sliderSoundDuration.SetPos(static_cast<int>(std::min<std::uint32_t>(m_nDuration, 0x7FFFFFFF)));
  m_sliderCursorMovement.SetRange(0, static_cast<int>(touch_settings::kFilterPositionMax));
  m_sliderCursorMovement.SetPos(static_cast<int>(m_nFilterPosition));
  return TRUE;
}

void CTouchSettingPage::InitDoubleClickSliders() {
  m_sliderDblclkSpeed.SetRange(kDblclkSpeedMin, kDblclkSpeedMax);
  const int time = std::clamp(static_cast<int>(std::min<UINT>(::GetDoubleClickTime(), 0xFFFF)),
                              kDblclkSpeedMin, kDblclkSpeedMax);
  m_sliderDblclkSpeed.SetPos(kDblclkSpeedMirror - time);

  m_sliderDblclkArea.SetRange(0, kDblclkAreaMax);
  m_nDoubleClickArea = ::GetSystemMetrics(SM_CXDOUBLECLK);
  m_sliderDblclkArea.SetPos(m_nDoubleClickArea);
}

// Each value on its own: one that cannot be read whole leaves the defaults.
void CTouchSettingPage::LoadTouchSettings() {
  HKEY key = OpenSettingsKey();
  if (key == nullptr) return;
  std::uint8_t beep[sizeof(BeepValue)] = {};
  if (const auto stored = touch_settings::ReadStoredBeep(
          beep, QuerySettingValue(key, "Beep", beep, sizeof(beep)))) {
    m_nTouchSound = stored->touchSound;
    m_nToneDivisor = stored->toneDivisor;
    m_nDuration = stored->duration;
    m_nFrequencyPosition = stored->frequencyPosition;
  }
  std::uint8_t filter[sizeof(FilterRecord)] = {};
  if (const auto position = touch_settings::ReadStoredFilterPosition(
          filter, QuerySettingValue(key, "Filter", filter, sizeof(filter)))) {
    m_nFilterPosition = *position;
  }
  std::uint8_t cursor[sizeof(DWORD)] = {};
  if (const auto display = touch_settings::ReadStoredCursor(
          cursor, QuerySettingValue(key, "Cursor", cursor, sizeof(cursor)))) {
    m_nCursorDisplay = *display;
  }
  ::RegCloseKey(key);
}

void CTouchSettingPage::OnReleasedCaptureCursorMovement(NMHDR*, LRESULT* pResult) {
  m_nFilterPosition = static_cast<std::uint32_t>(m_sliderCursorMovement.GetPos());
  const FilterRecord record = touch_settings::MakeFilterRecord(m_nFilterPosition);
  SendRequest(IOCTL_SET_FILTER_COEFF, &record, sizeof(record), "IOCTL_SET_FILTER_COEFF failed");
  SaveTouchSettings(kSaveFilter);
  *pResult = 0;
}

void CTouchSettingPage::OnReleasedCaptureDblclkSpeed(NMHDR*, LRESULT* pResult) {
  const auto time = static_cast<DWORD>(kDblclkSpeedMirror - m_sliderDblclkSpeed.GetPos());
  m_nDoubleClickTime = time;
  ::SetDoubleClickTime(time);
  SaveSetting(kSettingDBClkTime, &time);
  *pResult = 0;
}

void CTouchSettingPage::OnReleasedCaptureDblclkArea(NMHDR*, LRESULT* pResult) {
  m_nDoubleClickArea = m_sliderDblclkArea.GetPos();
  const auto area = static_cast<UINT>(m_nDoubleClickArea);
  ::SystemParametersInfoA(SPI_SETDOUBLECLKWIDTH, area, nullptr,
                          SPIF_UPDATEINIFILE | SPIF_SENDCHANGE);
  ::SystemParametersInfoA(SPI_SETDOUBLECLKHEIGHT, area, nullptr,
                          SPIF_UPDATEINIFILE | SPIF_SENDCHANGE);
  *pResult = 0;
}

void CTouchSettingPage::OnReleasedCaptureSoundFrequency(NMHDR*, LRESULT* pResult) {
  m_nFrequencyPosition = m_sliderSoundFrequency.GetPos();
  m_nToneDivisor = touch_settings::ToneDivisor(m_nFrequencyPosition);
  SendBeepSetting();
  SaveTouchSettings(kSaveBeep);
  *pResult = 0;
}

void CTouchSettingPage::OnReleasedCaptureSoundDuration(NMHDR*, LRESULT* pResult) {
  m_nDuration = static_cast<std::uint32_t>(m_sliderSoundDuration.GetPos());
  SendBeepSetting();
  SaveTouchSettings(kSaveBeep);
  *pResult = 0;
}

void CTouchSettingPage::SendBeepSetting() const {
  const BeepSettingRecord record{m_nToneDivisor, m_nDuration};
  SendRequest(IOCTL_BEEP_SETTING, &record, sizeof(record), "IOCTL_BEEP_SETTING failed");
}

// The flag and caption change only when the driver took the new mode; "Beep" is written
// either way.
void CTouchSettingPage::OnTouchSound() {
  const std::uint8_t mode = m_nTouchSound == 0 ? 1 : 0;
  if (SendRequest(IOCTL_BEEP_MODE, &mode, sizeof(mode), "IOCTL_BEEP_MODE failed")) {
    m_nTouchSound = mode;
    ::SetWindowTextA(m_btnTouchSound, mode != 0 ? "On" : "Off");
  }
  SaveTouchSettings(kSaveBeep);
}

void CTouchSettingPage::OnCursorDisplay() {
  m_nCursorDisplay = 1 - m_nCursorDisplay;
  if (m_nCursorDisplay == 0) {
    ::SetWindowTextA(m_btnCursorDisplay, "Off");
    ReplaceArrowCursor(IDI_HIDDEN_CURSOR);
  } else {
    ::SetWindowTextA(m_btnCursorDisplay, "On");
    ReplaceArrowCursor(IDI_ARROW_CURSOR);
  }
  SaveTouchSettings(kSaveCursor);
}

// The system keeps and later destroys the cursor it is given, so it gets a copy of the shared
// icon; a copy it refused is destroyed here.
void CTouchSettingPage::ReplaceArrowCursor(UINT nIconId) const {
  HICON icon = ::LoadIconW(fw::AfxGetInstanceHandle(), MAKEINTRESOURCEW(nIconId));
  if (icon == nullptr) return;
  HCURSOR copy = ::CopyIcon(icon);
  if (copy != nullptr && !::SetSystemCursor(copy, kNormalArrowCursor)) ::DestroyCursor(copy);
}

// Clicks are taken in pairs: the first arms the test, the second swaps the bulb when it came
// within the double-click time.
void CTouchSettingPage::OnDblclkTest() {
  const DWORD now = ::GetTickCount();
  m_nCurClickTime = now;
  if (m_nTestState == 0) {
    m_nTestState = 1;
    m_nPrevClickTime = now;
    return;
  }
  const DWORD elapsed = now >= m_nPrevClickTime ? now - m_nPrevClickTime : m_nPrevClickTime - now;
  if (elapsed <= m_nDoubleClickTime) {
    const bool unlit = reinterpret_cast<HBITMAP>(m_btnDblclkTest.SendMessage(
                           BM_GETIMAGE, IMAGE_BITMAP)) == static_cast<HBITMAP>(m_bmpBulbUnlit);
    m_btnDblclkTest.SetBitmap(unlit ? m_bmpBulbLit : m_bmpBulbUnlit);
  }
  m_nTestState = 0;
  m_nPrevClickTime = now;
}

// The installed copy first; its path has blanks ("C:\Program Files\..."), so it is quoted, or
// the system would try to start "C:\Program.exe".
void CTouchSettingPage::OnLaunch() {
  std::string folder;
  if (ReadProgramFilesDir(&folder) && StartProgram("\"" + folder + kInstalledMausvex + "\"")) {
    return;
  }
  if (!StartProgram(kLocalMausvex)) fw::AfxMessageBox("could not find Mausvex.exe");
}

BOOL CTouchSettingPage::SaveTouchSettings(int mask) {
  const BeepValue beep = touch_settings::MakeBeepValue(static_cast<std::uint8_t>(m_nTouchSound),
                                                       m_nToneDivisor, m_nDuration);
  const FilterRecord filter = touch_settings::MakeFilterRecord(m_nFilterPosition);
  const DWORD cursor = static_cast<std::uint8_t>(m_nCursorDisplay);
  std::vector<SettingWrite> writes;
  if ((mask & kSaveBeep) != 0) writes.push_back({"Beep", REG_BINARY, &beep, sizeof(beep)});
  if ((mask & kSaveFilter) != 0) writes.push_back({"Filter", REG_BINARY, &filter, sizeof(filter)});
  if ((mask & kSaveCursor) != 0) writes.push_back({"Cursor", REG_DWORD, &cursor, sizeof(cursor)});
  return WriteSettingValues("RegOpenKeyEx failure!", writes) ? TRUE : FALSE;
}
