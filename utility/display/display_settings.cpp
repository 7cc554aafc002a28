#include "display_settings.h"

#include "driver_link/settings_store.h"
#include "framework/Dialog.h"

bool StoreDwordSettings(std::initializer_list<DwordSetting> settings) {
  HKEY key = nullptr;
  if (::RegCreateKeyExA(HKEY_LOCAL_MACHINE, g_strSettingsKey.c_str(), 0, const_cast<char*>(""),
                        REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, &key,
                        nullptr) != ERROR_SUCCESS) {
    fw::AfxMessageBox("RegCreateKeyEx failure!");
    return false;
  }
  for (const DwordSetting& setting : settings) {
    if (::RegSetValueExA(key, setting.name, 0, REG_DWORD,
                         reinterpret_cast<const BYTE*>(&setting.value),
                         sizeof(setting.value)) != ERROR_SUCCESS) {
      fw::AfxMessageBox("RegSetValueEx failure!");
      ::RegCloseKey(key);
      return false;
    }
  }
  ::RegCloseKey(key);
  return true;
}
