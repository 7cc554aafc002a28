// The steps of the uninstallation run, in the order the run calls them.
#pragma once

#include <windows.h>

BOOL RemoveDriver();
BOOL DeleteServiceKey();
BOOL DeleteShortcuts();
BOOL DeleteFiles();
void ShowLastError();
