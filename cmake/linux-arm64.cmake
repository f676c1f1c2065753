# Cross build for Debian arm64 (64-bit ARM: unsigned char) with Debian's cross compiler
# g++-aarch64-linux-gnu against the arm64 packages of ICU and GoogleTest (libicu-dev:arm64,
# libgtest-dev:arm64); programs run under qemu-user. .ci/stages/arch installs them.
#   cmake -S . -B build-arm64 -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/linux-arm64.cmake
set(CMAKE_SYSTEM_PROCESSOR aarch64)
set(QOVAICUC_CROSS_TRIPLET aarch64-linux-gnu)
set(QOVAICUC_MULTIARCH aarch64-linux-gnu)
set(QOVAICUC_QEMU_ARCH aarch64)
include(${CMAKE_CURRENT_LIST_DIR}/debian-cross.cmake)
