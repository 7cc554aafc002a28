#include "display_settings.h"

#include <vector>

#include "driver_link/setting_writes.h"

bool StoreDwordSettings(std::initializer_list<DwordSetting> settings) {
  std::vector<SettingWrite> writes;
  for (const DwordSetting& setting : settings) {
    writes.push_back({setting.name, REG_DWORD, &setting.value, sizeof(setting.value)});
  }
  return WriteSettingValues("RegCreateKeyEx failure!", writes);
}
