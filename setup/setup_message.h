// Setup's own message boxes: no owner, captioned with the product's name, an OK button.
#pragma once

#include <windows.h>

inline void ShowSetupMessage(const char* text) { ::MessageBoxA(nullptr, text, "Vantora", MB_OK); }
