# Cross build for 32-bit Windows with Debian's MinGW-w64 (posix thread model: std::mutex and
# std::thread work, which GoogleTest needs). Everything is linked statically, so lentaro.exe
# imports nothing but the system's own DLLs.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)

set(LENTARO_MINGW_PREFIX i686-w64-mingw32)
set(CMAKE_C_COMPILER ${LENTARO_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${LENTARO_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${LENTARO_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${LENTARO_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# ctest runs the Windows programs through Wine.
find_program(LENTARO_WINE NAMES wine)
if(LENTARO_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${LENTARO_WINE})
endif()
