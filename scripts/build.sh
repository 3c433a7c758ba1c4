#!/usr/bin/env bash
# Configures and builds everything into build/release (incremental);
# arguments go to the build step ("--target tavrik-tour" builds one target).
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
build="${TAVRIK_BUILD_DIR:-$top/build/release}"
# Paths relative to the checkout, so a second checkout (CI) hits the same cache.
export CCACHE_BASEDIR="${CCACHE_BASEDIR:-$top}"
# Debug builds carry the build folder in their cache key unless told not to.
export CCACHE_NOHASHDIR="${CCACHE_NOHASHDIR:-1}"
# TAVRIK_WERROR=ON (CI) makes every compiler warning an error.
cmake -S "$top" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTAVRIK_WERROR="${TAVRIK_WERROR:-OFF}" >/dev/null
cmake --build "$build" -j"$(nproc)" "$@"
