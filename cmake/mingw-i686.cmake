# Cross compile for 32-bit Windows with mingw-w64 (i686), static C and C++ runtime.
set(FW_MINGW_ARCH i686)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
