# Cross build for 64-bit Windows with Debian's mingw-w64 (the posix-threads flavour, whose C++
# library has std::thread and friends).
#   cmake -S . -B build-windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(corvane_mingw x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${corvane_mingw}-gcc-posix)
set(CMAKE_CXX_COMPILER ${corvane_mingw}-g++-posix)
set(CMAKE_RC_COMPILER ${corvane_mingw}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${corvane_mingw})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The program runs on any Windows without the compiler's run-time libraries beside it.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
