# Cross-compiling for 64-bit Windows with Debian's MinGW-w64 (the POSIX
# threads flavour, which std::thread and std::mutex need):
#   cmake -S windows -B build-windows \
#       -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.toolchain.cmake
# The programs are linked statically, so that an .exe runs as it is (under
# Wine too) without the compiler's DLLs beside it.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(MSRW_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${MSRW_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${MSRW_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${MSRW_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${MSRW_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
