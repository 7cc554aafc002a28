// The driver-installation library Korvinst, as setup links it at load time: three functions
// exported by their plain names, ANSI strings.
#pragma once

#include <windows.h>

#ifdef KORVINST_BUILDING
#define KORVINST_API extern "C" __declspec(dllexport)
#else
#define KORVINST_API extern "C" __declspec(dllimport)
#endif

// Installs the driver package of the INF at `infPath`. 2 means failure; any other value success.
KORVINST_API int __cdecl Install(const char* infPath);
// Mode 1: removes the present devices whose hardware identifier begins with `id`.
// Mode 2: stops and deletes the service of the driver package named `id`.
KORVINST_API int __cdecl Remove(int mode, const char* id);
// Writes the folder of `kind` (1 common desktop, 2 Program Files, 3 common programs, 4 Windows,
// 5 common startup) into `buffer` (260 characters). Non-zero on success.
KORVINST_API int __cdecl RegGetPath(char* buffer, int kind);
