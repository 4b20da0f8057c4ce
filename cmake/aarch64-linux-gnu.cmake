# Cross build for 64-bit ARM Linux (a Raspberry Pi, an ARM notebook) with
# Debian's cross compiler; the programs and tests run under qemu-user.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR aarch64)
set(CMAKE_C_COMPILER aarch64-linux-gnu-gcc)
set(CMAKE_CXX_COMPILER aarch64-linux-gnu-g++)
# The target's C library installed through multiarch (libc6:arm64, which the
# arm64 Qt brings) serves the programs as it would on the board. Only without it
# does -L take the cross toolchain's copy, an older build with which the first
# worker thread of Qt's painting spins forever under qemu-user.
if(EXISTS /lib/ld-linux-aarch64.so.1 AND EXISTS /usr/lib/aarch64-linux-gnu/libstdc++.so.6)
  set(CMAKE_CROSSCOMPILING_EMULATOR qemu-aarch64)
else()
  set(CMAKE_CROSSCOMPILING_EMULATOR qemu-aarch64 -L /usr/aarch64-linux-gnu)
endif()
set(CMAKE_FIND_ROOT_PATH /usr/aarch64-linux-gnu)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# Debian's multiarch packages (qt6-base-dev:arm64 beside the amd64 one) live under
# /usr/lib/aarch64-linux-gnu; Qt's code generators are the build machine's own.
set(CMAKE_LIBRARY_ARCHITECTURE aarch64-linux-gnu)
list(APPEND CMAKE_FIND_ROOT_PATH /)
set(QT_HOST_PATH /usr)
set(QT_HOST_PATH_CMAKE_DIR /usr/lib/x86_64-linux-gnu/cmake)
