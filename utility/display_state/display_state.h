// The display state shared by the pages: the calibration screen measures the monitors and the
// touch monitor's choice lands here; the calibration and the display mapping read it. It lives
// below the pages so that none of them reaches up into the main window's folder for it. All
// coordinates are virtual-desktop pixels.
#pragma once

#include <windows.h>

extern int g_nMonitorCount;      // monitors as last read (SM_CMONITORS)
extern RECT g_rcPrimaryMonitor;  // the monitor that contains the point 0, 0
extern RECT g_rcTouchMonitor;    // the monitor that carries the touch panel
