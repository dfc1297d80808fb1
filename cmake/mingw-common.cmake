# Cross-compiling the Windows program with MinGW-w64: shared by the 32- and 64-bit toolchain files.
# The includer sets CORVEL_MINGW_TRIPLE and CMAKE_SYSTEM_PROCESSOR first.
set(CMAKE_SYSTEM_NAME Windows)

# The -posix compilers: their libstdc++ has std::thread and friends, which the win32 flavour lacks.
set(CMAKE_C_COMPILER ${CORVEL_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${CORVEL_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${CORVEL_MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${CORVEL_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

# Players get one exe that runs on a bare Windows: no MinGW runtime DLLs beside it.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
