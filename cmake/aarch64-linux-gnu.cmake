# Cross build for arm64 (aarch64) with Debian's cross toolchain
# (crossbuild-essential-arm64) and its multiarch arm64 -dev packages;
# scripts/install-deps --arch arm64 installs them. Programs built here run
# on this machine through qemu-user (no binfmt needed): ctest and the tests
# that start a sibling program go through CMAKE_CROSSCOMPILING_EMULATOR.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR aarch64)
set(CMAKE_C_COMPILER aarch64-linux-gnu-gcc)
set(CMAKE_CXX_COMPILER aarch64-linux-gnu-g++)
set(CMAKE_LIBRARY_ARCHITECTURE aarch64-linux-gnu)

# The arm64 pkg-config wrapper looks only at the arm64 .pc files; with the
# native one FindOpenSSL and FindCURL would quietly take the amd64 libraries.
set(PKG_CONFIG_EXECUTABLE /usr/bin/aarch64-linux-gnu-pkg-config CACHE FILEPATH "")

# Never let a find_* fall back to the amd64 multiarch folders.
set(CMAKE_IGNORE_PATH /usr/lib/x86_64-linux-gnu /lib/x86_64-linux-gnu
    /usr/lib/x86_64-linux-gnu/cmake)

# qemu's own search root is not set: the arm64 loader and libraries are found
# at their multiarch paths.
set(CMAKE_CROSSCOMPILING_EMULATOR /usr/bin/qemu-aarch64-static)
