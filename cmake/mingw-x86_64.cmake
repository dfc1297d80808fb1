# Toolchain for the 64-bit Windows program (x86_64-w64-mingw32).
set(CMAKE_SYSTEM_PROCESSOR AMD64)
set(CORVEL_MINGW_TRIPLE x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
