# Cross build for 64-bit Windows with Debian's MinGW-w64 (the posix thread model), programs run
# under Wine. Libraries and packages are searched only in the MinGW sysroot and in the prefixes
# named by QOVAICUC_MINGW_PREFIXES (a CMake list or ':'-separated, from the cache or the
# environment): ICU and GoogleTest built with this same file.
#   cmake -S . -B build-windows -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake \
#         -DQOVAICUC_MINGW_PREFIXES="<icu prefix>;<gtest prefix>" -DICU_ROOT=<icu prefix>
# Running the tests needs WINEPATH to name the MinGW runtime, ICU's bin/ and the build folder
# (.ci/stages/windows sets it up).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)

if(NOT QOVAICUC_MINGW_PREFIXES AND DEFINED ENV{QOVAICUC_MINGW_PREFIXES})
  string(REPLACE ":" ";" QOVAICUC_MINGW_PREFIXES "$ENV{QOVAICUC_MINGW_PREFIXES}")
endif()
# try_compile projects re-read this file; hand the prefixes on to them.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES QOVAICUC_MINGW_PREFIXES)

set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32 ${QOVAICUC_MINGW_PREFIXES})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# CTest and gtest_discover_tests start the .exe files through Wine.
find_program(QOVAICUC_WINE NAMES wine64 wine PATHS /usr/lib/wine NO_CMAKE_FIND_ROOT_PATH)
if(QOVAICUC_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${QOVAICUC_WINE})
endif()
