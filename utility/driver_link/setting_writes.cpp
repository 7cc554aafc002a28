#include "setting_writes.h"

#include "driver_link/settings_store.h"
#include "framework/Dialog.h"

bool WriteSettingValues(const char* keyFailureText, std::span<const SettingWrite> writes) {
  HKEY key = CreateSettingsKey();
  if (key == nullptr) {
    fw::AfxMessageBox(keyFailureText);
    return false;
  }
  for (const SettingWrite& write : writes) {
    if (::RegSetValueExA(key, write.name, 0, write.type, static_cast<const BYTE*>(write.data),
                         write.size) != ERROR_SUCCESS) {
      fw::AfxMessageBox("RegSetValueEx failure!");
      ::RegCloseKey(key);
      return false;
    }
  }
  ::RegCloseKey(key);
  return true;
}
