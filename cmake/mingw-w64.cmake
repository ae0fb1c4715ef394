# Cross-compiling for 64-bit Windows with MinGW-w64 (Debian: g++-mingw-w64-x86-64-posix).
#   cmake -S . -B build-windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(BREVO_MINGW_PREFIX x86_64-w64-mingw32)

# The posix flavour of the compiler has std::thread and std::async.
set(CMAKE_C_COMPILER ${BREVO_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${BREVO_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${BREVO_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${BREVO_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The programs carry their runtime, so that they run without MinGW's DLLs beside them.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# Programs built here run under Wine: its wrapper where it is installed, else Debian's wine64.
if(BREVO_WINE AND NOT EXISTS "${BREVO_WINE}")
  unset(BREVO_WINE CACHE)  # uninstalled since it was found
endif()
find_program(BREVO_WINE NAMES wine wine64 PATHS /usr/lib/wine NO_CMAKE_FIND_ROOT_PATH)
if(BREVO_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${BREVO_WINE})
endif()
