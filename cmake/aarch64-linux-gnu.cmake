# aarch64-linux-gnu.cmake — toolchain file for 64-bit ARM Linux programs built
# on an x86-64 Debian machine with Debian's cross compiler and the arm64
# libraries of its multiarch packages (scripts/arm64-deps.sh installs both):
#   cmake -S . -B build/arm64 -DCMAKE_TOOLCHAIN_FILE=cmake/aarch64-linux-gnu.cmake
#         (scripts/build-arm64.sh does this)
# The programs run on this machine under qemu-user: CMake puts the emulator
# before every test and every build step that runs a program of the build, so
# the data tools and the test suite run as they would on an arm64 machine.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR aarch64)
set(CMAKE_LIBRARY_ARCHITECTURE aarch64-linux-gnu)
set(CMAKE_C_COMPILER aarch64-linux-gnu-gcc)
set(CMAKE_CXX_COMPILER aarch64-linux-gnu-g++)
# The arm64 dynamic loader and libraries live where an arm64 machine has them
# (/lib/ld-linux-aarch64.so.1, /usr/lib/aarch64-linux-gnu), so qemu needs no
# -L.
find_program(QM7_QEMU_AARCH64 qemu-aarch64 REQUIRED)
set(CMAKE_CROSSCOMPILING_EMULATOR ${QM7_QEMU_AARCH64})
# pkg-config reads the arm64 .pc files only.
set(ENV{PKG_CONFIG_LIBDIR} /usr/lib/aarch64-linux-gnu/pkgconfig:/usr/share/pkgconfig)
set(ENV{PKG_CONFIG_PATH} "")
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
