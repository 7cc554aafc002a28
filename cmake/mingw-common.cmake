# Cross-compiling with MinGW-w64 for the target named by TESSARO_MINGW_TARGET (set by the
# toolchain file that includes this). The posix thread model is needed for GoogleTest.
set(CMAKE_SYSTEM_NAME Windows)

set(CMAKE_C_COMPILER ${TESSARO_MINGW_TARGET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TESSARO_MINGW_TARGET}-g++-posix)
set(CMAKE_RC_COMPILER ${TESSARO_MINGW_TARGET}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${TESSARO_MINGW_TARGET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
