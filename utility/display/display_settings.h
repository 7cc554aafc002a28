// The Advanced page's and the monitor picker's own values in the settings key: written as
// 32-bit numbers, each write reported to the user when it fails.
#pragma once

#include <windows.h>

#include <initializer_list>

struct DwordSetting {
  const char* name;
  DWORD value;  // a signed coordinate is kept as its two's complement
};

// Creates or opens the settings key and writes the values in order. Shows "RegCreateKeyEx
// failure!" when the key cannot be opened, "RegSetValueEx failure!" at the first write that
// fails (the values before it stay written, those after it are not written). True when all
// were written.
bool StoreDwordSettings(std::initializer_list<DwordSetting> settings);
