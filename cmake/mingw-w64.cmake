# Shared by the two Windows toolchain files, which name the target first.
# The win32 thread model: its runtime needs nothing newer than Windows XP,
# where the posix one pulls in winpthreads and GetTickCount64.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_C_COMPILER ${KORVANE_MINGW}-gcc-win32)
set(CMAKE_CXX_COMPILER ${KORVANE_MINGW}-g++-win32)
set(CMAKE_RC_COMPILER ${KORVANE_MINGW}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${KORVANE_MINGW})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# Nothing but Windows itself at run time: the C++ runtime goes into the program.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
