# Cross-compiling for arm64 Linux with Debian's g++-aarch64-linux-gnu; the tests run under
# qemu-user (Debian's qemu-user), which finds the arm64 loader and libraries in the
# cross toolchain's sysroot. Used by the arm64 preset (CMakePresets.json).
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR aarch64)
set(CMAKE_C_COMPILER aarch64-linux-gnu-gcc)  # GoogleTest's project enables C as well
set(CMAKE_CXX_COMPILER aarch64-linux-gnu-g++)

set(arm64_sysroot /usr/aarch64-linux-gnu)
find_program(QEMU_AARCH64 qemu-aarch64 REQUIRED)
# CMake runs test programs through it (add_test, gtest_discover_tests); the tests that
# start the interpreter themselves put it in front as well (tests/CMakeLists.txt).
set(CMAKE_CROSSCOMPILING_EMULATOR ${QEMU_AARCH64} -L ${arm64_sysroot})

# Libraries and headers from the sysroot only; programs (python3, readelf) from the host.
set(CMAKE_FIND_ROOT_PATH ${arm64_sysroot})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
