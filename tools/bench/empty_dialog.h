// Resource ids of empty_dialog.exe.
#pragma once

#define IDD_EMPTY 100
