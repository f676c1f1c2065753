# Cross build for Debian i386 (32-bit x86: 32-bit long and pointers, signed char) with Debian's cross compiler
# g++-i686-linux-gnu against the i386 packages of ICU and GoogleTest (libicu-dev:i386,
# libgtest-dev:i386); programs run under qemu-user. .ci/stages/arch installs them.
#   cmake -S . -B build-i386 -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/linux-i386.cmake
set(CMAKE_SYSTEM_PROCESSOR i686)
set(QOVAICUC_CROSS_TRIPLET i686-linux-gnu)
set(QOVAICUC_MULTIARCH i386-linux-gnu)
set(QOVAICUC_QEMU_ARCH i386)
include(${CMAKE_CURRENT_LIST_DIR}/debian-cross.cmake)
