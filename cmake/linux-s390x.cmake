# Cross build for Debian s390x (64-bit IBM Z: big-endian, unsigned char) with Debian's cross compiler
# g++-s390x-linux-gnu against the s390x packages of ICU and GoogleTest (libicu-dev:s390x,
# libgtest-dev:s390x); programs run under qemu-user. .ci/stages/arch installs them.
#   cmake -S . -B build-s390x -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/linux-s390x.cmake
set(CMAKE_SYSTEM_PROCESSOR s390x)
set(QOVAICUC_CROSS_TRIPLET s390x-linux-gnu)
set(QOVAICUC_MULTIARCH s390x-linux-gnu)
set(QOVAICUC_QEMU_ARCH s390x)
include(${CMAKE_CURRENT_LIST_DIR}/debian-cross.cmake)
