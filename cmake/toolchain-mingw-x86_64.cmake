# Cross build for 64-bit Windows with Debian's MinGW-w64, the same way as the 32-bit build.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(LENTARO_MINGW_PREFIX x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)

# ctest runs the Windows programs through the 64-bit Wine loader. Debian keeps it out of PATH (its
# `wine` starts the 32-bit loader whenever that is installed, even where the kernel cannot run it).
find_program(LENTARO_WINE NAMES wine64 PATHS /usr/lib/wine)
if(LENTARO_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${LENTARO_WINE})
endif()
