# Shared part of the Debian cross toolchain files (linux-i386.cmake, linux-arm64.cmake,
# linux-s390x.cmake): Debian's cross compiler for QOVAICUC_CROSS_TRIPLET, libraries and CMake
# packages of that architecture from the multiarch folders (/usr/lib/<multiarch>, where
# libicu-dev:ARCH and libgtest-dev:ARCH install them), programs of the build machine, and the
# programs built here run with qemu-user through the multiarch loader of the root file system
# (-L /), so that neither binfmt nor a separate sysroot is needed.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_C_COMPILER ${QOVAICUC_CROSS_TRIPLET}-gcc)
set(CMAKE_CXX_COMPILER ${QOVAICUC_CROSS_TRIPLET}-g++)
set(CMAKE_LIBRARY_ARCHITECTURE ${QOVAICUC_MULTIARCH})
# The binutils of the cross toolchain (nm for the exported-symbols check).
set(CMAKE_NM ${QOVAICUC_CROSS_TRIPLET}-nm CACHE FILEPATH "")
set(CMAKE_OBJDUMP ${QOVAICUC_CROSS_TRIPLET}-objdump CACHE FILEPATH "")

# Only the multiarch folders of the target (and the cross compiler's own) are searched for
# libraries, headers and packages: never the build machine's /usr/lib/x86_64-linux-gnu.
set(CMAKE_FIND_ROOT_PATH / /usr/${QOVAICUC_CROSS_TRIPLET})
set(CMAKE_IGNORE_PATH /usr/lib/x86_64-linux-gnu /lib/x86_64-linux-gnu)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

find_program(QOVAICUC_QEMU qemu-${QOVAICUC_QEMU_ARCH})
if(QOVAICUC_QEMU)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${QOVAICUC_QEMU} -L /)
endif()
