#!/usr/bin/env bash
# Cross-builds the panel, its tests and the simulated unit for the unit's
# 32-bit ARM (armhf) into build/armhf. Installs what is missing first: the
# host build tools (deps.sh), Debian's armhf cross compiler and qemu-user
# (to run the armhf tests), and the armhf sysroot (armhf-sysroot.sh).
# Incremental, like build.sh.
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
# Paths relative to the checkout, so another checkout (CI) reuses the cache.
export CCACHE_BASEDIR="${CCACHE_BASEDIR:-$top}"
# Debug builds carry the build folder in their cache key unless told not to.
export CCACHE_NOHASHDIR="${CCACHE_NOHASHDIR:-1}"
build="${TAVRIK_ARMHF_BUILD_DIR:-$top/build/armhf}"

# g++-arm-linux-gnueabihf is the compiler part of crossbuild-essential-armhf;
# the meta package also pulls dpkg-cross, which wants to upgrade the host's
# perl, and the build does not need it. qemu-user runs the armhf tests.
"$top/scripts/deps.sh" g++-arm-linux-gnueabihf qemu-user-static

"$top/scripts/armhf-sysroot.sh"

cmake -S "$top" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_TOOLCHAIN_FILE="$top/cmake/armhf-toolchain.cmake" -DTAVRIK_WERROR="${TAVRIK_WERROR:-OFF}" >/dev/null
cmake --build "$build" -j"$(nproc)" "$@"
