# 64-bit Windows programs from Debian's mingw-w64 (g++-mingw-w64-x86-64-posix: std::thread needs
# the posix thread model). The runtime is linked in, so the .exe files need no MinGW DLLs, and
# tests run under wine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(HART_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${HART_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${HART_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${HART_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${HART_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# -static takes libwinpthread in as well; the libstdc++ and libgcc flags alone leave it a DLL.
# Programs that load the Qt DLLs take the shared runtime the DLLs were built with instead
# (HART_MINGW_SHARED_RUNTIME): one libstdc++ in the process, so memory and exceptions may
# cross between Qt and our code.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES HART_MINGW_SHARED_RUNTIME)
if(NOT HART_MINGW_SHARED_RUNTIME)
  set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
endif()

find_program(HART_WINE NAMES wine wine64)
if(HART_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${HART_WINE})
endif()
