// The display state shared by the calibration and the display mapping: all coordinates are
// virtual-desktop pixels.
#pragma once

#include <windows.h>

extern int g_nMonitorCount;      // monitors as last read (SM_CMONITORS)
extern RECT g_rcPrimaryMonitor;  // the monitor that contains the point 0, 0
extern RECT g_rcTouchMonitor;    // the monitor that carries the touch panel
