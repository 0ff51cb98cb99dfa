# Cross-builds for 64-bit Windows with Debian's MinGW-w64 (the posix thread model, which
# std::thread and std::mutex need). Programs are linked with the compiler's runtime
# inside, so that the .exe files run on a Windows machine without extra DLLs. The mingw
# preset runs the test programs under Wine through the native test lab, never directly.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(FERROW_MINGW_TRIPLET x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${FERROW_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${FERROW_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${FERROW_MINGW_TRIPLET}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${FERROW_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
