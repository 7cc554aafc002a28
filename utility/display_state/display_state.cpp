#include "display_state.h"

int g_nMonitorCount = 0;
RECT g_rcPrimaryMonitor = {};
RECT g_rcTouchMonitor = {};
