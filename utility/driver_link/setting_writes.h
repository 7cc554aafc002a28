// The pages' own values in the settings key, written with their failures shown to the user.
#pragma once

#include <windows.h>

#include <span>

struct SettingWrite {
  const char* name;
  DWORD type;
  const void* data;
  DWORD size;
};

// Creates or opens the settings key and writes the values in order. Shows `keyFailureText` when
// the key cannot be had, "RegSetValueEx failure!" at the first write that fails (the values
// before it stay written, those after it are not written). True when all were written.
bool WriteSettingValues(const char* keyFailureText, std::span<const SettingWrite> writes);
