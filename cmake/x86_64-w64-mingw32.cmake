# The same sources for 64-bit Windows, so that the Windows tests can run under
# wine64 where no 32-bit code runs at all.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(KORVANE_MINGW x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
set(CMAKE_CROSSCOMPILING_EMULATOR /usr/lib/wine/wine64)
