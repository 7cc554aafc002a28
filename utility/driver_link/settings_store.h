// The settings key below HKEY_LOCAL_MACHINE, where every setting the driver accepted is kept,
// and the lookup of well-known folders.
#pragma once

#include <windows.h>

#include <string>

// "System\CurrentControlSet\Services\VantoraUSB" once the main window has initialised;
// empty before.
extern std::string g_strSettingsKey;

constexpr char kSettingsKeyPath[] = "System\\CurrentControlSet\\Services\\VantoraUSB";

// Setting kinds: 1-3 "Calibration" (18, 18, 40 bytes: calibration types 1-3), 4 "CalType",
// 5 "LTRB", 6 "Rotation", 7 "DBClkTime" (written only).
enum SettingKind : int {
  kSettingCalibrationTwoPoint = 1,
  kSettingCalibrationFivePointLinear = 2,
  kSettingCalibrationFivePoint = 3,
  kSettingCalType = 4,
  kSettingLTRB = 5,
  kSettingRotation = 6,
  kSettingDBClkTime = 7,
};

// Writes the kind's value from `data` (the kind's size). False only when the key cannot be
// created or opened; an unknown kind writes nothing and still answers true.
BOOL SaveSetting(int kind, const void* data);
// Reads the kind's value into `buffer` (the kind's size); kinds 1 to 6 only.
BOOL LoadSetting(int kind, void* buffer);

// Folder kinds: 1 common desktop, 2 Program Files, 3 common programs, 4 Windows, 5 common
// startup. `buffer` holds 260 bytes and receives a NUL-terminated path.
BOOL GetShellFolderPath(char* buffer, int kind);
