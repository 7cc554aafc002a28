#include "settings_store.h"

#include <cstring>

std::string g_strSettingsKey;

namespace {

struct SettingValue {
  const char* name;
  DWORD type;
  DWORD size;
};

constexpr SettingValue kSettingValues[] = {
    {"Calibration", REG_BINARY, 18}, {"Calibration", REG_BINARY, 18},
    {"Calibration", REG_BINARY, 40}, {"CalType", REG_DWORD, 4},
    {"LTRB", REG_DWORD, 4},          {"Rotation", REG_DWORD, 4},
    {"DBClkTime", REG_DWORD, 4},
};

const SettingValue* FindSetting(SettingKind kind) {
  if (kind < kSettingCalibrationTwoPoint || kind > kSettingDBClkTime) return nullptr;
  return &kSettingValues[kind - 1];
}

struct ShellFolder {
  const char* subkey;
  const char* value;
};

constexpr char kShellFolders[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

constexpr ShellFolder kShellFolderKinds[] = {
    {kShellFolders, "Common Desktop"},
    {"Software\\Microsoft\\Windows\\CurrentVersion", "ProgramFilesDir"},
    {kShellFolders, "Common Programs"},
    {"Software\\Microsoft\\Windows NT\\CurrentVersion", "SystemRoot"},
    {kShellFolders, "Common Startup"},
};

constexpr DWORD kPathBufferSize = 260;

}  // namespace

HKEY CreateSettingsKey() {
  // Before the main window names the key, an empty path would open HKEY_LOCAL_MACHINE itself.
  if (g_strSettingsKey.empty()) return nullptr;
  HKEY key = nullptr;
  if (::RegCreateKeyExA(HKEY_LOCAL_MACHINE, g_strSettingsKey.c_str(), 0, const_cast<char*>(""),
                        REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, &key,
                        nullptr) != ERROR_SUCCESS) {
    return nullptr;
  }
  return key;
}

HKEY OpenSettingsKey() {
  if (g_strSettingsKey.empty()) return nullptr;
  HKEY key = nullptr;
  if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, g_strSettingsKey.c_str(), 0, KEY_ALL_ACCESS, &key) !=
      ERROR_SUCCESS) {
    return nullptr;
  }
  return key;
}

DWORD QuerySettingValue(HKEY key, const char* name, void* buffer, DWORD size) {
  if (::RegQueryValueExA(key, name, nullptr, nullptr, static_cast<BYTE*>(buffer), &size) !=
      ERROR_SUCCESS) {
    return 0;
  }
  return size;
}

BOOL SaveSetting(SettingKind kind, const void* data) {
  HKEY key = CreateSettingsKey();
  if (key == nullptr) return FALSE;
  if (const SettingValue* setting = FindSetting(kind)) {
    ::RegSetValueExA(key, setting->name, 0, setting->type, static_cast<const BYTE*>(data),
                     setting->size);
  }
  ::RegCloseKey(key);
  return TRUE;
}

std::optional<std::vector<std::uint8_t>> LoadSettingBytes(SettingKind kind) {
  if (kind == kSettingDBClkTime) return std::nullopt;
  const SettingValue* setting = FindSetting(kind);
  if (setting == nullptr) return std::nullopt;
  HKEY key = OpenSettingsKey();
  if (key == nullptr) return std::nullopt;
  std::vector<std::uint8_t> bytes(setting->size);
  DWORD size = setting->size;
  const LONG status = ::RegQueryValueExA(key, setting->name, nullptr, nullptr, bytes.data(), &size);
  ::RegCloseKey(key);
  if (status != ERROR_SUCCESS) return std::nullopt;
  bytes.resize(size);
  return bytes;
}

BOOL LoadSetting(SettingKind kind, void* buffer) {
  const std::optional<std::vector<std::uint8_t>> bytes = LoadSettingBytes(kind);
  if (!bytes) return FALSE;
  if (!bytes->empty()) std::memcpy(buffer, bytes->data(), bytes->size());
  return TRUE;
}

BOOL GetShellFolderPath(char* buffer, FolderKind kind, REGSAM access) {
  if (kind < kFolderCommonDesktop || kind > kFolderCommonStartup) return FALSE;
  const ShellFolder& folder = kShellFolderKinds[kind - 1];
  HKEY key = nullptr;
  if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, folder.subkey, 0, access, &key) != ERROR_SUCCESS) {
    return FALSE;
  }
  DWORD size = kPathBufferSize;
  const LONG status = ::RegQueryValueExA(key, folder.value, nullptr, nullptr,
                                         reinterpret_cast<BYTE*>(buffer), &size);
  ::RegCloseKey(key);
  if (status != ERROR_SUCCESS) return FALSE;
  // A value stored without its NUL that fills the whole buffer is no path; a shorter one gets
  // its terminator here.
  if (std::memchr(buffer, '\0', size) == nullptr) {
    if (size >= kPathBufferSize) return FALSE;
    buffer[size] = '\0';
  }
  return TRUE;
}
