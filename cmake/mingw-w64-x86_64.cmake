# Cross build for 64-bit Windows with the mingw-w64 -posix compilers (their
# std::mutex and std::thread are what GoogleTest needs). The .rc files go to
# windres. Programs are linked statically, so one .exe runs on any 64-bit
# Windows and under Wine without extra DLLs, and tests run through wine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(TALLYHORN_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${TALLYHORN_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TALLYHORN_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${TALLYHORN_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${TALLYHORN_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

find_program(TALLYHORN_WINE NAMES wine wine64)
if(TALLYHORN_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${TALLYHORN_WINE})
endif()
