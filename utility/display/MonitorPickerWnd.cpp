#include "MonitorPickerWnd.h"

#include <cstdint>
#include <optional>

#include "display/display_settings.h"
#include "display_state/display_state.h"
#include "driver_link/device_control.h"
#include "driver_link/settings_store.h"
#include "driver_link/tessaro_driver.h"
#include "framework/MessageMap.h"
#include "resources/resource.h"

namespace {

MonitorMappingRecord MappingRecord(const RECT& touch, const RECT& primary) {
  return {touch.left,
          touch.top,
          touch.right - touch.left,
          touch.bottom - touch.top,
          primary.right - primary.left,
          primary.bottom - primary.top};
}

// One 32-bit value of the settings key, read only when it is exactly that.
std::optional<std::int32_t> ReadDword(HKEY key, const char* name) {
  std::int32_t value = 0;
  if (QuerySettingValue(key, name, &value, sizeof(value)) != sizeof(value)) return std::nullopt;
  return value;
}

// The stored touch monitor: only after a pick ("MultiMonitor" 1; "Set" makes it 0), and only
// when all of its values could be read.
std::optional<RECT> StoredTouchMonitor() {
  HKEY key = OpenSettingsKey();
  if (key == nullptr) return std::nullopt;
  const std::optional<std::int32_t> multi = ReadDword(key, "MultiMonitor");
  const std::optional<std::int32_t> left = ReadDword(key, "TouchMonitorOx");
  const std::optional<std::int32_t> top = ReadDword(key, "TouchMonitorOy");
  const std::optional<std::int32_t> width = ReadDword(key, "TouchMonitorWidth");
  const std::optional<std::int32_t> height = ReadDword(key, "TouchMonitorHeight");
  ::RegCloseKey(key);
  if (multi != 1 || !left || !top || !width || !height) return std::nullopt;
  // Computed wide: stored values of any size must not overflow.
  const std::int64_t right = std::int64_t{*left} + *width;
  const std::int64_t bottom = std::int64_t{*top} + *height;
  if (right > INT32_MAX || bottom > INT32_MAX) return std::nullopt;
  return RECT{*left, *top, static_cast<LONG>(right), static_cast<LONG>(bottom)};
}

}  // namespace

CMonitorPickerWnd::CMonitorPickerWnd(fw::CWnd* pParent) : CDialog(IDD_MONITOR_PICKER, pParent) {}

CMonitorPickerWnd::~CMonitorPickerWnd() = default;

const fw::MessageMap* CMonitorPickerWnd::GetMessageMap() const {
  static const fw::MessageEntry entries[] = {
      fw::OnMessage<&CMonitorPickerWnd::OnLButtonDown>(WM_LBUTTONDOWN),
  };
  static const fw::MessageMap map(CDialog::GetMessageMap(), entries);
  return &map;
}

void CMonitorPickerWnd::SetOrigin(LONG x, LONG y) { m_ptOrigin = POINT{x, y}; }

BOOL CMonitorPickerWnd::OnInitDialog() {
  CDialog::OnInitDialog();
  g_nMonitorCount = ::GetSystemMetrics(SM_CMONITORS);
  if (g_nMonitorCount >= 2) RestoreTouchMonitor();
  return TRUE;
}

void CMonitorPickerWnd::RestoreTouchMonitor() {
  const std::optional<RECT> stored = StoredTouchMonitor();
  if (!stored) return;
  const std::optional<RECT> present = MonitorRectAt(POINT{stored->left, stored->top});
  if (present && ::EqualRect(&*present, &*stored)) g_rcTouchMonitor = *stored;
}

void CMonitorPickerWnd::OnLButtonDown(UINT, POINT point) {
  const POINT screen{point.x + m_ptOrigin.x, point.y + m_ptOrigin.y};
  // A point of the desktop's bounding rectangle that no monitor covers chooses nothing.
  const std::optional<RECT> monitor = MonitorRectAt(screen);
  if (!monitor) {
    Default();
    return;
  }
  g_rcTouchMonitor = *monitor;
  const MonitorMappingRecord record = MappingRecord(g_rcTouchMonitor, g_rcPrimaryMonitor);
  if (SendRequest(IOCTL_MAPPING, &record, sizeof(record), "IOCTL_MAPPING falied")) {
    SaveMonitorSettings();
  }
  ShowWindow(SW_HIDE);
  Default();
}

bool CMonitorPickerWnd::SaveMonitorSettings() {
  const MonitorMappingRecord record = MappingRecord(g_rcTouchMonitor, g_rcPrimaryMonitor);
  auto dword = [](std::int32_t value) { return static_cast<DWORD>(value); };
  return StoreDwordSettings({{"MultiMonitor", 1},
                             {"TouchMonitorOx", dword(record.touchLeft)},
                             {"TouchMonitorOy", dword(record.touchTop)},
                             {"TouchMonitorWidth", dword(record.touchWidth)},
                             {"TouchMonitorHeight", dword(record.touchHeight)},
                             {"PrimaryMonitorWidth", dword(record.primaryWidth)},
                             {"PrimaryMonitorHeight", dword(record.primaryHeight)}});
}
