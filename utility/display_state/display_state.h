// The display state shared by the pages: the calibration screen measures the monitors and the
// touch monitor's choice lands here; the calibration and the display mapping read it. It lives
// below the pages so that none of them reaches up into the main window's folder for it. All
// coordinates are virtual-desktop pixels.
#pragma once

#include <windows.h>

#include <optional>

extern int g_nMonitorCount;      // monitors as last read (SM_CMONITORS)
extern RECT g_rcPrimaryMonitor;  // the monitor that contains the point 0, 0
extern RECT g_rcTouchMonitor;    // the monitor that carries the touch panel

// The full rectangle (taskbar included) of the monitor that contains the point, if one does.
std::optional<RECT> MonitorRectAt(POINT point);
// Measures the primary monitor anew (the whole primary screen when it cannot be measured) and
// puts the touch panel back on it.
void ResetTouchMonitorToPrimary();
