# Cross compile the native tree for 64-bit ARM Linux with Debian's aarch64 cross compiler.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR aarch64)

set(CMAKE_C_COMPILER aarch64-linux-gnu-gcc)
set(CMAKE_CXX_COMPILER aarch64-linux-gnu-g++)

set(CMAKE_FIND_ROOT_PATH /usr/aarch64-linux-gnu)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Statically linked: each program is one file that runs on any arm64 Linux board,
# whatever C and C++ libraries it has.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

# Programs run under qemu-user here: ctest, and gtest_discover_tests when it lists the
# tests at build time. -L lets a dynamically linked program find the arm64 loader.
set(CMAKE_CROSSCOMPILING_EMULATOR qemu-aarch64 -L /usr/aarch64-linux-gnu)
