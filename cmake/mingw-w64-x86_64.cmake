# Cross build of the Windows brain on Debian with mingw-w64.
#
#   cmake -S . -B build-win -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
#
# The -posix compilers are named explicitly: the win32 thread model of
# Debian's GCC 12 has no std::mutex or std::thread. Every program is linked
# statically, so it needs no DLL beside it, and stripped. Programs run on
# this machine through Wine (cmake/wine-run), which is how CTest runs the
# Windows tests.

set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)

set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Tournament machines promise AVX2 and nothing beyond it; never the build
# machine's own -march=native.
set(QUORVEX_WINDOWS_MARCH x86-64-v3 CACHE STRING "-march level of the Windows build (x86-64-v3 at most)")
set(CMAKE_C_FLAGS_INIT "-march=${QUORVEX_WINDOWS_MARCH} -mtune=generic")
set(CMAKE_CXX_FLAGS_INIT "-march=${QUORVEX_WINDOWS_MARCH} -mtune=generic")
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -s")

set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/wine-run)
# List the test cases when CTest runs rather than after every link, so the
# build itself never needs Wine.
set(CMAKE_GTEST_DISCOVER_TESTS_DISCOVERY_MODE PRE_TEST)
