# Cross-builds the 32-bit Windows program, the one users get, with Debian's mingw-w64:
#   cmake -S . -B build-windows -DCMAKE_TOOLCHAIN_FILE=cmake/i686-w64-mingw32.cmake
set(CMAKE_SYSTEM_PROCESSOR i686)
set(KORVANE_MINGW i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
# Tests of the Windows build run under Wine.
set(CMAKE_CROSSCOMPILING_EMULATOR wine)
