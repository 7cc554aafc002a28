#include "display_state.h"

int g_nMonitorCount = 0;
RECT g_rcPrimaryMonitor = {};
RECT g_rcTouchMonitor = {};

std::optional<RECT> MonitorRectAt(POINT point) {
  HMONITOR monitor = ::MonitorFromPoint(point, MONITOR_DEFAULTTONULL);
  MONITORINFO info{};
  info.cbSize = sizeof(info);
  if (monitor == nullptr || !::GetMonitorInfoW(monitor, &info)) return std::nullopt;
  return info.rcMonitor;
}

void ResetTouchMonitorToPrimary() {
  const std::optional<RECT> primary = MonitorRectAt(POINT{0, 0});
  if (primary && !::IsRectEmpty(&*primary)) {
    g_rcPrimaryMonitor = *primary;
  } else {
    g_rcPrimaryMonitor = {0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
  }
  g_rcTouchMonitor = g_rcPrimaryMonitor;
}
