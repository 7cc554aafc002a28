# Cross-compiles the same programs for 64-bit Windows (x86_64), for the 64-bit test mode on
# machines that cannot run 32-bit programs.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(TESSARO_MINGW_TARGET x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
