// The settings key below HKEY_LOCAL_MACHINE, where every setting the driver accepted is kept,
// and the lookup of well-known folders.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// The key's path below HKEY_LOCAL_MACHINE, set by the main window as it initialises; empty
// before, and then nothing is read or written.
extern std::string g_strSettingsKey;

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
BOOL SaveSetting(SettingKind kind, const void* data);
// Reads the kind's value into `buffer` (the kind's size); kinds 1 to 6 only. Only the stored
// bytes are written: a shorter value leaves the rest of the buffer as it was.
BOOL LoadSetting(SettingKind kind, void* buffer);
// The kind's stored bytes, when the value fits the kind's size; kinds 1 to 6 only.
std::optional<std::vector<std::uint8_t>> LoadSettingBytes(SettingKind kind);

// The settings key with full access, created when missing, or opened only when it exists; null
// while its path is not set or when it cannot be had. The caller closes it.
HKEY CreateSettingsKey();
HKEY OpenSettingsKey();
// One value of an open key read into `buffer` of `size` bytes: how many bytes the read filled,
// 0 when it could not be read (missing, or larger than the buffer).
DWORD QuerySettingValue(HKEY key, const char* name, void* buffer, DWORD size);

enum FolderKind : int {
  kFolderCommonDesktop = 1,
  kFolderProgramFiles = 2,
  kFolderCommonPrograms = 3,
  kFolderWindows = 4,
  kFolderCommonStartup = 5,
};

// `buffer` holds 260 bytes and receives the folder's NUL-terminated path. The system's key is
// opened with `access`.
BOOL GetShellFolderPath(char* buffer, FolderKind kind, REGSAM access = KEY_QUERY_VALUE);
