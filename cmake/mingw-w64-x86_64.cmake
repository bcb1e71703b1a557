# Cross-compiling for 64-bit Windows with mingw-w64 (the posix-threads
# compilers, which std::thread needs). Used by `make windows`.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(KOR_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${KOR_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${KOR_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${KOR_MINGW_PREFIX}-windres)
set(CMAKE_MC_COMPILER ${KOR_MINGW_PREFIX}-windmc)

set(CMAKE_FIND_ROOT_PATH /usr/${KOR_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Programs built here run under Wine: tests, and test discovery.
find_program(KOR_WINE wine)
if(KOR_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${KOR_WINE})
endif()
