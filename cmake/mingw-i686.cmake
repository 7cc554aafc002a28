# Cross-compiles the Win32 programs with MinGW-w64 for 32-bit Intel.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(TESSARO_MINGW_TARGET i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
