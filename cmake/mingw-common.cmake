# What the MinGW-w64 toolchain files share; each sets CMAKE_SYSTEM_PROCESSOR and
# LENTARO_MINGW_PREFIX first. The posix thread model makes std::mutex and std::thread work, which
# GoogleTest needs; everything is linked statically, so lentaro.exe imports only the system's DLLs.
set(CMAKE_SYSTEM_NAME Windows)

set(CMAKE_C_COMPILER ${LENTARO_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${LENTARO_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${LENTARO_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${LENTARO_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
