# Toolchain for the 32-bit Windows program (i686-w64-mingw32).
set(CMAKE_SYSTEM_PROCESSOR x86)
set(CORVEL_MINGW_TRIPLE i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
