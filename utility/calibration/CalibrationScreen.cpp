#include "CalibrationScreen.h"

#include <imm.h>

#include <cstring>

#include "CalibrationCheckDlg.h"
#include "display_state/display_state.h"
#include "framework/MessageMap.h"
#include "resources/resource.h"

using calibration::CalibrationKind;
using calibration::ScreenState;

namespace {

constexpr UINT_PTR kHoldTimerId = 1;
constexpr UINT kHoldTimerMs = 30;
constexpr UINT kTargetImageId = 0xFFFF;
constexpr int kTargetHalf = 20;

constexpr char kTitleText[] = "Calibration Screen";
constexpr char kEscapeText[] = ":Press ESC to cancel the calibration";
constexpr char kHoldText[] = ":Point at the blue target and hold until it turns gray";

constexpr char kNoFiniteResultText[] = "Calibration failed: the touched points coincide";

calibration::MonitorRect ToMonitorRect(const RECT& rect) {
  return {rect.left, rect.top, rect.right, rect.bottom};
}

// The touch monitor; never empty (the display state falls back to the whole primary screen), so
// neither the targets nor the default points are placed on an empty one.
calibration::MonitorRect TouchMonitor() { return ToMonitorRect(g_rcTouchMonitor); }

void ShowCursorAgain() {
  while (::ShowCursor(TRUE) < 0) {
  }
}

}  // namespace

CCalibrationScreen::CCalibrationScreen(fw::CWnd* pParent)
    : CDialog(IDD_CALIBRATION_SCREEN, pParent) {}

const fw::MessageMap* CCalibrationScreen::GetMessageMap() const {
  static const fw::MessageEntry entries[] = {
      fw::OnMessage<&CCalibrationScreen::OnPaint>(WM_PAINT),
      fw::OnMessage<&CCalibrationScreen::OnLButtonDown>(WM_LBUTTONDOWN),
      // The dialog class reports a second quick press at the same place as a double click;
      // it is a press all the same, or a retried hold on the same target would be lost.
      fw::OnMessage<&CCalibrationScreen::OnLButtonDown>(WM_LBUTTONDBLCLK),
      fw::OnMessage<&CCalibrationScreen::OnLButtonUp>(WM_LBUTTONUP),
      fw::OnMessage<&CCalibrationScreen::OnTimer>(WM_TIMER),
  };
  static const fw::MessageMap map(CDialog::GetMessageMap(), entries);
  return &map;
}

BOOL CCalibrationScreen::OnInitDialog() {
  CDialog::OnInitDialog();

  g_nMonitorCount = ::GetSystemMetrics(SM_CMONITORS);
  ResetTouchMonitorToPrimary();

  m_commit.SetKind(CCalibrationCommit::StoredKind(CalibrationKind::kTwoPoint));
  m_commit.Data().PlaceTargets(TouchMonitor());
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
    createImage(m_twoPointImages[i], m_commit.Data().twoPointTargets[i]);
  }
  for (int i = 0; i < calibration::kFivePointCount; ++i) {
    createImage(m_fivePointImages[i], m_commit.Data().fivePointTargets[i]);
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

// The timer runs exactly while the hold wants samples.
void CCalibrationScreen::SyncHoldTimer() {
  if (m_hold.WantsTicks() && m_nHoldTimer == 0) {
    m_nHoldTimer = ::SetTimer(m_hWnd, kHoldTimerId, kHoldTimerMs, nullptr);
  } else if (!m_hold.WantsTicks() && m_nHoldTimer != 0) {
    ::KillTimer(m_hWnd, m_nHoldTimer);
    m_nHoldTimer = 0;
  }
}

void CCalibrationScreen::OnLButtonDown() {
  m_hold.Press();
  SyncHoldTimer();
  Default();
}

void CCalibrationScreen::OnLButtonUp() {
  m_hold.Release();
  SyncHoldTimer();
  Default();
}

void CCalibrationScreen::OnTimer(UINT_PTR) {
  std::optional<calibration::CursorSample> sample;
  POINT cursor{};
  if (::GetCursorPos(&cursor)) sample = calibration::CursorSample{cursor.x, cursor.y};
  const std::optional<calibration::TakenPoint> taken = m_hold.Tick(sample);
  SyncHoldTimer();
  if (taken) AcceptPoint(*taken);
  Default();
}

fw::CStatic* CCalibrationScreen::CurrentImages() {
  return m_hold.PointCount() == calibration::kTwoPointCount ? m_twoPointImages : m_fivePointImages;
}

void CCalibrationScreen::AcceptPoint(const calibration::TakenPoint& taken) {
  const int i = taken.index;
  const int count = m_hold.PointCount();
  m_commit.Data().CollectPoint(i, count, taken.mean, ToMonitorRect(g_rcPrimaryMonitor));
  fw::CStatic* images = CurrentImages();
  images[i].SetBitmap(m_bmpGrayTarget);
  if (i < count - 1) {
    images[i + 1].SetBitmap(m_bmpBlueTarget);
    images[i + 1].ShowWindow(SW_SHOWNORMAL);
  }
  if (m_hold.State() == ScreenState::kCompleting) {
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
  const ScreenState state = m_hold.State();
  if (state == ScreenState::kHidden || state == ScreenState::kCancelling) return;
  // The hold stops before anything else: the restore may show message boxes, and no point may
  // be taken, nor the calibration completed, inside them.
  m_hold.BeginCancel();
  SyncHoldTimer();
  ::ShowWindow(m_hWnd, SW_SHOWMINIMIZED);
  ShowCursorAgain();
  m_commit.RestorePreviousCalibration();
  m_hold.Hide();
  EndDialog(IDCANCEL);
}

void CCalibrationScreen::CancelCalibration() { OnCancel(); }

void CCalibrationScreen::HideScreen() {
  m_hold.Hide();
  SyncHoldTimer();
  ::ShowWindow(m_hWnd, SW_SHOWMINIMIZED);
  ::ShowWindow(m_hWnd, SW_HIDE);
}

void CCalibrationScreen::HideTargetImages() {
  fw::CStatic* images = CurrentImages();
  for (int i = 0; i < m_hold.PointCount(); ++i) images[i].ShowWindow(SW_HIDE);
}

void CCalibrationScreen::StartCalibration(CalibrationKind kind) {
  m_commit.SetKind(kind);
  m_hold.Start(MeasuresFivePoints(kind) ? calibration::kFivePointCount
                                        : calibration::kTwoPointCount);
  SyncHoldTimer();
  m_commit.LoadPreviousCalibration();
  m_commit.ResetCalibration(kind, TouchMonitor());
  ShowFirstTarget();
}

// Coinciding touches give no usable line: nothing computed reaches the driver, and the
// calibration the driver had before is put back.
void CCalibrationScreen::HandleNoFiniteResult() {
  fw::AfxMessageBox(kNoFiniteResultText);
  HideScreen();
  m_commit.RestorePreviousCalibration();
}

void CCalibrationScreen::RunCompletion() {
  const calibration::MonitorRect primary = ToMonitorRect(g_rcPrimaryMonitor);
  if (!m_commit.Data().ComputeCalibration(primary, TouchMonitor())) {
    HandleNoFiniteResult();
    return;
  }
  if (!m_commit.SendComputedCalibration()) return;

  // The new calibration is active in the driver while the user tries it.
  CCalibrationCheckDlg check(m_hold.PointCount());
  switch (check.DoModal()) {
    case IDOK:
      HideScreen();
      m_commit.StoreCalibration();
      HideTargetImages();
      break;
    case IDCANCEL:
      HideScreen();
      m_commit.RestorePreviousCalibration();
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

// The cursor moved the opposite way: mirror the axes, invert the cable connection and store the
// result without a second check.
void CCalibrationScreen::Modify() {
  HideScreen();
  m_commit.InvertCableConnection();
  const calibration::MonitorRect touch = TouchMonitor();
  m_commit.Data().ExchangeAndReversePixels(m_hold.PointCount(), touch);
  if (!m_commit.Data().ComputeCalibration(ToMonitorRect(g_rcPrimaryMonitor), touch)) {
    HandleNoFiniteResult();
    return;
  }
  if (!m_commit.SendComputedCalibration()) return;

  m_commit.StoreCalibration();
  m_commit.StoreInvertedConnection();
}

void CCalibrationScreen::SetInitialState() { m_commit.SetInitialState(TouchMonitor()); }
