# Cross build for 64-bit Windows with Debian's MinGW-w64 (posix thread model), the same way as the
# 32-bit build: everything linked statically, so lentaro.exe imports only the system's own DLLs.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(LENTARO_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${LENTARO_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${LENTARO_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${LENTARO_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${LENTARO_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# ctest runs the Windows programs through the 64-bit Wine loader. Debian keeps it out of PATH (its
# `wine` starts the 32-bit loader whenever that is installed, even where the kernel cannot run it).
find_program(LENTARO_WINE NAMES wine64 PATHS /usr/lib/wine)
if(LENTARO_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${LENTARO_WINE})
endif()
