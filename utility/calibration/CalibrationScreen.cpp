#include "CalibrationScreen.h"

#include <imm.h>

#include <cstring>

#include "CalibrationCheckDlg.h"
#include "display_state/display_state.h"
#include "driver_link/device_control.h"
#include "driver_link/settings_store.h"
#include "framework/MessageMap.h"
#include "resources/resource.h"

namespace {

constexpr UINT_PTR kHoldTimerId = 1;
constexpr UINT kHoldTimerMs = 30;
constexpr UINT kTargetImageId = 0xFFFF;
constexpr int kTargetHalf = 20;

constexpr char kTitleText[] = "Calibration Screen";
constexpr char kEscapeText[] = ":Press ESC to cancel the calibration";
constexpr char kHoldText[] = ":Point at the blue target and hold until it turns gray";

constexpr char kNoFiniteResultText[] = "Calibration failed: the touched points coincide";

constexpr std::size_t kCoeffSize = sizeof(CAL_COEFF);
constexpr std::size_t kFivePointSize = sizeof(CAL_5PT);

calibration::MonitorRect ToMonitorRect(const RECT& rect) {
  return {rect.left, rect.top, rect.right, rect.bottom};
}

bool IsLinearType(std::uint8_t type) {
  return type == kCalTypeTwoPoint || type == kCalTypeFivePointLinear;
}

bool IsFivePointType(std::uint8_t type) {
  return type == kCalTypeFivePointLinear || type == kCalTypeFivePoint;
}

void ShowCursorAgain() {
  while (::ShowCursor(TRUE) < 0) {
  }
}

}  // namespace

CCalibrationScreen::CCalibrationScreen(fw::CWnd* pParent)
    : CDialog(IDD_CALIBRATION_SCREEN, pParent) {
  std::memcpy(m_prevRecord.data(), &kNeutralCalCoeff, kCoeffSize);
  std::memcpy(m_cal.recordBuffer.data(), &kNeutralCalCoeff, kCoeffSize);
}

const fw::MessageMap* CCalibrationScreen::GetMessageMap() const {
  static const fw::MessageEntry entries[] = {
      fw::OnMessage<&CCalibrationScreen::OnPaint>(WM_PAINT),
      fw::OnMessage<&CCalibrationScreen::OnLButtonDown>(WM_LBUTTONDOWN),
      // The dialog class reports a second quick press at the same place as a double click;
      // it is a press all the same, or a retried hold on the same target would be lost.
      fw::OnMessage<&CCalibrationScreen::OnLButtonDblClk>(WM_LBUTTONDBLCLK),
      fw::OnMessage<&CCalibrationScreen::OnLButtonUp>(WM_LBUTTONUP),
      fw::OnMessage<&CCalibrationScreen::OnTimer>(WM_TIMER),
  };
  static const fw::MessageMap map(CDialog::GetMessageMap(), entries);
  return &map;
}

BOOL CCalibrationScreen::OnInitDialog() {
  CDialog::OnInitDialog();

  g_nMonitorCount = ::GetSystemMetrics(SM_CMONITORS);
  MONITORINFO info{};
  info.cbSize = sizeof(info);
  if (::GetMonitorInfoW(::MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTONULL), &info)) {
    g_rcPrimaryMonitor = info.rcMonitor;
  }
  g_rcTouchMonitor = g_rcPrimaryMonitor;

  m_cal.calType = kCalTypeTwoPoint;
  std::uint32_t storedType = 0;
  if (LoadSetting(kSettingCalType, &storedType))
    m_cal.calType = static_cast<std::uint8_t>(storedType);

  m_cal.PlaceTargets(ToMonitorRect(g_rcTouchMonitor));
  PlaceImages();
  return TRUE;
}

void CCalibrationScreen::PlaceImages() {
  m_bmpBlueTarget.LoadBitmap(IDB_BLUE_TARGET);
  m_bmpGrayTarget.LoadBitmap(IDB_GRAY_TARGET);

  const DWORD style = WS_CHILD | WS_VISIBLE | SS_BITMAP | SS_CENTERIMAGE;
  auto createImage = [&](fw::CStatic& image, const calibration::PointD& target) {
    const int x = static_cast<int>(target.x);
    const int y = static_cast<int>(target.y);
    image.Create("", style,
                 RECT{x - kTargetHalf, y - kTargetHalf, x + kTargetHalf, y + kTargetHalf}, *this,
                 kTargetImageId);
  };
  for (int i = 0; i < calibration::kTwoPointCount; ++i) {
    createImage(m_twoPointImages[i], m_cal.twoPointTargets[i]);
  }
  for (int i = 0; i < calibration::kFivePointCount; ++i) {
    createImage(m_fivePointImages[i], m_cal.fivePointTargets[i]);
  }

  // The markers are part of the window but stay hidden: the gray targets already show which
  // points were taken.
  m_bmpRedCross.LoadBitmap(IDB_RED_CROSS);
  m_bmpGrayCross.LoadBitmap(IDB_GRAY_CROSS);
  auto createMarker = [&](fw::CStatic& marker) {
    marker.Create("", style, RECT{0, 0, 0, 0}, *this, kTargetImageId);
    marker.SetBitmap(m_bmpRedCross);
  };
  for (auto& marker : m_twoPointMarkers) createMarker(marker);
  for (auto& marker : m_fivePointMarkers) createMarker(marker);
}

void CCalibrationScreen::OnPaint() {
  // The default painting validates the window; the texts go on top of it.
  Default();
  const RECT& touch = g_rcTouchMonitor;
  const int x = touch.left + (touch.right - touch.left) / 4;
  const int y = touch.top + (touch.bottom - touch.top) / 4;
  HDC dc = ::GetDC(m_hWnd);
  ::TextOutA(dc, x, y, kTitleText, static_cast<int>(std::strlen(kTitleText)));
  ::TextOutA(dc, x, y + 20, kEscapeText, static_cast<int>(std::strlen(kEscapeText)));
  ::TextOutA(dc, x, y + 40, kHoldText, static_cast<int>(std::strlen(kHoldText)));
  ::ReleaseDC(m_hWnd, dc);

  // No input-method status window may show over the screen.
  if (HWND ime = ::ImmGetDefaultIMEWnd(m_hWnd)) {
    ::SendMessageW(ime, WM_IME_CONTROL, IMC_CLOSESTATUSWINDOW, 0);
  }
}

BOOL CCalibrationScreen::PreTranslateMessage(MSG* pMsg) {
  // Only ESC may act on the screen; Alt+F4 must not close it. 0xFFFFFFFF matches no key.
  if (pMsg->message == WM_KEYDOWN && pMsg->wParam != VK_ESCAPE) {
    pMsg->wParam = 0xFFFFFFFF;
  } else if (pMsg->message == WM_SYSKEYDOWN && pMsg->wParam == VK_F4) {
    pMsg->wParam = 0xFFFFFFFF;
  }
  return CDialog::PreTranslateMessage(pMsg);
}

void CCalibrationScreen::BeginHold() {
  m_nSampleCount = 0;
  m_bHoldUnderWay = true;
  m_nHoldTimer = ::SetTimer(m_hWnd, kHoldTimerId, kHoldTimerMs, nullptr);
}

void CCalibrationScreen::OnLButtonDown() {
  BeginHold();
  Default();
}

void CCalibrationScreen::OnLButtonDblClk() {
  BeginHold();
  Default();
}

void CCalibrationScreen::OnLButtonUp() {
  if (m_nHoldTimer != 0) ::KillTimer(m_hWnd, m_nHoldTimer);
  m_nSampleCount = 0;
  m_bHoldUnderWay = false;
  Default();
}

void CCalibrationScreen::OnTimer(UINT_PTR) {
  // A tick queued before the timer stopped, or after the touch ended, belongs to no hold.
  if (m_bHoldUnderWay && m_nSampleCount < calibration::kHoldSamples) {
    POINT cursor{};
    ::GetCursorPos(&cursor);
    m_sampleX[static_cast<std::size_t>(m_nSampleCount)] = cursor.x;
    m_sampleY[static_cast<std::size_t>(m_nSampleCount)] = cursor.y;
    ++m_nSampleCount;
    if (m_nSampleCount == calibration::kHoldSamples) {
      if (::KillTimer(m_hWnd, m_nHoldTimer)) m_nHoldTimer = 0;
      const calibration::HoldStatistics stats =
          calibration::ComputeHoldStatistics(m_sampleX, m_sampleY);
      if (!calibration::IsSteadyHold(stats)) {
        // A fresh window of five new samples while the touch goes on.
        m_nHoldTimer = ::SetTimer(m_hWnd, kHoldTimerId, kHoldTimerMs, nullptr);
        m_nSampleCount = 0;
      } else {
        m_bHoldUnderWay = false;
        AcceptPoint(stats.meanX, stats.meanY);
      }
    }
  }
  Default();
}

fw::CStatic* CCalibrationScreen::CurrentImages() {
  return m_nPointCount == calibration::kTwoPointCount ? m_twoPointImages : m_fivePointImages;
}

void CCalibrationScreen::AcceptPoint(double meanX, double meanY) {
  const int i = m_nCollectedPoints;
  if (i >= m_nPointCount) return;
  m_cal.CollectPoint(i, m_nPointCount, {meanX, meanY}, ToMonitorRect(g_rcPrimaryMonitor));
  fw::CStatic* images = CurrentImages();
  images[i].SetBitmap(m_bmpGrayTarget);
  if (i < m_nPointCount - 1) {
    images[i + 1].SetBitmap(m_bmpBlueTarget);
    images[i + 1].ShowWindow(SW_SHOWNORMAL);
  }
  m_nCollectedPoints = i + 1;
  if (m_nCollectedPoints == m_nPointCount) {
    ShowCursorAgain();
    RunCompletion();
  }
}

void CCalibrationScreen::ShowFirstTarget() {
  for (auto* set : {m_twoPointImages, m_twoPointMarkers}) {
    for (int i = 0; i < calibration::kTwoPointCount; ++i) set[i].ShowWindow(SW_HIDE);
  }
  for (auto* set : {m_fivePointImages, m_fivePointMarkers}) {
    for (int i = 0; i < calibration::kFivePointCount; ++i) set[i].ShowWindow(SW_HIDE);
  }
  fw::CStatic& first = CurrentImages()[0];
  first.SetBitmap(m_bmpBlueTarget);
  first.ShowWindow(SW_SHOWNORMAL);
}

void CCalibrationScreen::OnCancel() {
  ::ShowWindow(m_hWnd, SW_SHOWMINIMIZED);
  ShowCursorAgain();
  RestorePreviousCalibration();
  if (m_nHoldTimer != 0) ::KillTimer(m_hWnd, m_nHoldTimer);
  m_bHoldUnderWay = false;
  EndDialog(IDCANCEL);
}

void CCalibrationScreen::HideScreen() {
  ::ShowWindow(m_hWnd, SW_SHOWMINIMIZED);
  ::ShowWindow(m_hWnd, SW_HIDE);
}

void CCalibrationScreen::HideTargetImages() {
  fw::CStatic* images = CurrentImages();
  for (int i = 0; i < m_nPointCount; ++i) images[i].ShowWindow(SW_HIDE);
}

// --- Commit and restore ------------------------------------------------------------------

void CCalibrationScreen::StartCalibration(int nType) {
  m_cal.calType = static_cast<std::uint8_t>(nType);
  m_nCollectedPoints = 0;
  if (nType == kCalTypeTwoPoint) {
    m_nPointCount = calibration::kTwoPointCount;
  } else if (IsFivePointType(static_cast<std::uint8_t>(nType))) {
    m_nPointCount = calibration::kFivePointCount;
  }
  LoadPreviousCalibration();
  ResetCalibration(nType);
  ShowFirstTarget();
}

bool CCalibrationScreen::ResetCalibration(int nType) {
  const auto type = static_cast<std::uint8_t>(nType);
  if (!SendRequest(IOCTL_SET_CAL_TYPE, &type, 1, "IOCTL_SET_CAL_TYPE failed")) return false;
  if (IsLinearType(type)) {
    // A coefficient reset that fails does not stop the reset.
    SendRequest(IOCTL_RESET_CAL_COEFF, nullptr, 0, "IOCTL_RESET_CAL_COEFF falied");
  } else if (type == kCalTypeFivePoint) {
    const CAL_PTS points = m_cal.DefaultPoints(ToMonitorRect(g_rcTouchMonitor));
    if (!SendRequest(IOCTL_RESET_CAL_PTS, &points, sizeof(points), "IOCTL_RESET_CAL_PTS falied")) {
      return false;
    }
  }
  // A five-point calibration always measures with the LTRB connection.
  if (IsFivePointType(m_cal.calType)) {
    const auto ltrb = static_cast<std::uint8_t>(kCableLTRB);
    return SendRequest(IOCTL_CABLE_CONNECTION, &ltrb, 1, "IOCTL_CABLE_CONNECTION failed");
  }
  return true;
}

void CCalibrationScreen::LoadPreviousCalibration() {
  std::uint32_t storedType = 0;
  if (LoadSetting(kSettingCalType, &storedType))
    m_nPrevCalType = static_cast<std::uint8_t>(storedType);

  std::array<std::uint8_t, kFivePointSize> record{};
  if (IsLinearType(m_nPrevCalType)) {
    if (LoadSetting(kSettingCalibrationTwoPoint, record.data())) {
      std::memcpy(m_prevRecord.data(), record.data(), kCoeffSize);
    }
  } else if (m_nPrevCalType == kCalTypeFivePoint) {
    if (LoadSetting(kSettingCalibrationFivePoint, record.data())) m_prevRecord = record;
  }

  std::int32_t value = 0;
  if (LoadSetting(kSettingLTRB, &value)) m_nPrevLTRB = value;
  if (LoadSetting(kSettingRotation, &value)) m_nPrevRotation = value;
}

bool CCalibrationScreen::SendCableConnection() {
  const auto connection = static_cast<std::uint8_t>(m_cal.cableConnection & 0xFF);
  return SendRequest(IOCTL_CABLE_CONNECTION, &connection, 1, "IOCTL_CABLE_CONNECTION failed");
}

bool CCalibrationScreen::SendRotation() {
  const std::int32_t rotation = m_cal.rotation;
  return SendRequest(IOCTL_PANEL_ROTATION, &rotation, sizeof(rotation),
                     "IOCTL_PANEL_ROTATION failed");
}

// The record of the current type: CAL_COEFF for types 1 and 2, CAL_5PT for type 3.
bool CCalibrationScreen::SendRecord() {
  constexpr char kFailure[] = "IOCTL_SET_CAL failed";
  return m_cal.calType == kCalTypeFivePoint
             ? SendRequest(IOCTL_SET_CAL_5PT, m_cal.recordBuffer.data(), kFivePointSize, kFailure)
             : SendRequest(IOCTL_SET_CAL, m_cal.recordBuffer.data(), kCoeffSize, kFailure);
}

// What a computed calibration sends: the orientation (five points) and then the record. Stops at
// the first request the driver refuses.
bool CCalibrationScreen::SendComputedCalibration() {
  if (IsFivePointType(m_cal.calType) && !SendCableConnection()) return false;
  if (m_cal.calType == kCalTypeFivePoint && !SendRotation()) return false;
  return SendRecord();
}

// Coinciding touches give no usable line: nothing computed reaches the driver, and the
// calibration the driver had before is put back.
void CCalibrationScreen::HandleNoFiniteResult() {
  fw::AfxMessageBox(kNoFiniteResultText);
  HideScreen();
  RestorePreviousCalibration();
}

void CCalibrationScreen::RunCompletion() {
  const calibration::MonitorRect primary = ToMonitorRect(g_rcPrimaryMonitor);
  const calibration::MonitorRect touch = ToMonitorRect(g_rcTouchMonitor);
  if (!m_cal.ComputeCalibration(primary, touch)) {
    HandleNoFiniteResult();
    return;
  }
  if (!SendComputedCalibration()) return;

  // The new calibration is active in the driver while the user tries it.
  CCalibrationCheckDlg check(m_nPointCount);
  switch (check.DoModal()) {
    case IDOK:
      HideScreen();
      StoreCalibration();
      HideTargetImages();
      break;
    case IDCANCEL:
      HideScreen();
      RestorePreviousCalibration();
      break;
    case CCalibrationCheckDlg::kModifyResult:
      Modify();
      break;
    case -1:
      fw::AfxMessageBox("Dialog box could not be created!");
      HideTargetImages();
      break;
    default:
      HideTargetImages();
      break;
  }
}

void CCalibrationScreen::StoreCalibration() {
  const std::uint32_t type = m_cal.calType;
  SaveSetting(kSettingCalType, &type);
  switch (m_cal.calType) {
    case kCalTypeTwoPoint:
      SaveSetting(kSettingCalibrationTwoPoint, m_cal.recordBuffer.data());
      break;
    case kCalTypeFivePointLinear:
      SaveSetting(kSettingCalibrationFivePointLinear, m_cal.recordBuffer.data());
      SaveSetting(kSettingLTRB, &m_cal.cableConnection);
      SaveSetting(kSettingRotation, &m_cal.rotation);
      break;
    case kCalTypeFivePoint:
      SaveSetting(kSettingCalibrationFivePoint, m_cal.recordBuffer.data());
      SaveSetting(kSettingLTRB, &m_cal.cableConnection);
      SaveSetting(kSettingRotation, &m_cal.rotation);
      break;
    default:
      break;
  }
}

// The cursor moved the opposite way: mirror the axes, invert the cable connection and store the
// result without a second check.
void CCalibrationScreen::Modify() {
  HideScreen();
  InvertCableConnection();
  const calibration::MonitorRect touch = ToMonitorRect(g_rcTouchMonitor);
  m_cal.ExchangeAndReversePixels(m_nPointCount, touch);
  if (!m_cal.ComputeCalibration(ToMonitorRect(g_rcPrimaryMonitor), touch)) {
    HandleNoFiniteResult();
    return;
  }
  if (!SendComputedCalibration()) return;

  StoreCalibration();
  // After a two-point calibration the inverted connection is kept too.
  if (m_cal.calType == kCalTypeTwoPoint) SaveSetting(kSettingLTRB, &m_cal.cableConnection);
}

void CCalibrationScreen::InvertCableConnection() {
  std::int32_t stored = 0;
  if (LoadSetting(kSettingLTRB, &stored)) {
    if (stored == kCableBRTL) {
      m_cal.cableConnection = kCableLTRB;
    } else if (stored == kCableLTRB) {
      m_cal.cableConnection = kCableBRTL;
    }
  }
  const auto connection = static_cast<std::uint8_t>(m_cal.cableConnection & 0xFF);
  SendRequest(IOCTL_CABLE_CONNECTION, &connection, 1, "TOUSCR_IOCTL_CABLE_CONNECTION falied");
}

void CCalibrationScreen::RestorePreviousCalibration() {
  m_cal.calType = m_nPrevCalType;
  const std::uint8_t type = m_cal.calType;
  if (!SendRequest(IOCTL_SET_CAL_TYPE, &type, 1, "IOCTL_SET_CAL_TYPE failed")) return;
  // An unknown type has no record of a known length: nothing more is sent.
  constexpr char kFailure[] = "IOCTL_SET_CAL_COEFF failed";
  bool sent = false;
  if (IsLinearType(type)) {
    std::memcpy(m_cal.recordBuffer.data(), m_prevRecord.data(), kCoeffSize);
    sent = SendRequest(IOCTL_SET_CAL, m_cal.recordBuffer.data(), kCoeffSize, kFailure);
  } else if (type == kCalTypeFivePoint) {
    m_cal.recordBuffer = m_prevRecord;
    sent = SendRequest(IOCTL_SET_CAL_5PT, m_cal.recordBuffer.data(), kFivePointSize, kFailure);
  } else {
    return;
  }
  if (!sent) return;
  m_cal.cableConnection = m_nPrevLTRB;
  if (!SendCableConnection()) return;
  if (type == kCalTypeFivePoint) {
    m_cal.rotation = m_nPrevRotation;
    SendRotation();
  }
}

void CCalibrationScreen::SetInitialState() {
  std::uint32_t storedType = 0;
  if (LoadSetting(kSettingCalType, &storedType))
    m_cal.calType = static_cast<std::uint8_t>(storedType);
  ResetCalibration(m_cal.calType);

  if (IsLinearType(m_cal.calType)) {
    SaveSetting(kSettingCalibrationTwoPoint, &kNeutralCalCoeff);
  } else if (m_cal.calType == kCalTypeFivePoint) {
    CAL_5PT record{};
    const CAL_PTS points = m_cal.DefaultPoints(ToMonitorRect(g_rcTouchMonitor));
    std::memcpy(record.targets, points.targets, sizeof(points.targets));
    std::memcpy(record.measured, points.targets, sizeof(points.targets));
    SaveSetting(kSettingCalibrationFivePoint, &record);
  }
}
