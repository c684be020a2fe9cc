# Cross compile for 64-bit Windows with mingw-w64 (x86_64), static C and C++ runtime.
set(FW_MINGW_ARCH x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
