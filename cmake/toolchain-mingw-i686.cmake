# Cross build for 32-bit Windows with Debian's MinGW-w64.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(LENTARO_MINGW_PREFIX i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)

# ctest runs the Windows programs through Wine.
find_program(LENTARO_WINE NAMES wine)
if(LENTARO_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${LENTARO_WINE})
endif()
