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
build="${TAVRIK_ARMHF_BUILD_DIR:-$top/build/armhf}"

"$top/scripts/deps.sh"

# g++-arm-linux-gnueabihf is the compiler part of crossbuild-essential-armhf;
# the meta package also pulls dpkg-cross, which wants to upgrade the host's
# perl, and the build does not need it.
packages=(g++-arm-linux-gnueabihf qemu-user-static)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "installing: ${missing[*]}"
  SUDO=""
  [ "$(id -u)" -eq 0 ] || SUDO="sudo"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends \
    -o DPkg::Lock::Timeout=600 "${missing[@]}"
fi

"$top/scripts/armhf-sysroot.sh"

cmake -S "$top" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_TOOLCHAIN_FILE="$top/cmake/armhf-toolchain.cmake" >/dev/null
cmake --build "$build" -j"$(nproc)" "$@"
