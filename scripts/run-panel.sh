#!/usr/bin/env bash
# Installs what is missing, builds, and starts the panel against the
# simulated unit in a fresh temporary sysroot.
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
"$top/scripts/deps.sh"
"$top/scripts/build.sh"
build="${TAVRIK_BUILD_DIR:-$top/build/release}"

platform=offscreen
if [ -n "${DISPLAY:-}" ]; then platform=xcb; fi

if [ -x "$build/sim/tavrik-sim" ]; then
  exec "$build/sim/tavrik-sim" --panel "$build/app/tavrik" -- -platform "$platform" "$@"
fi
sysroot="$(mktemp -d /tmp/tavrik-sysroot.XXXXXX)"
mkdir -p "$sysroot"/{dev,etc,boot,home/pi,mnt/tervana,sys}
echo "sysroot: $sysroot"
TAVRIK_SYSROOT="$sysroot" exec "$build/app/tavrik" -platform "$platform" "$@"
