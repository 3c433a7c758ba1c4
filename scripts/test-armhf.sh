#!/usr/bin/env bash
# Builds the armhf panel (build-armhf.sh) and runs the test programs labelled
# "pure" (tests/CMakeLists.txt) on ARM under qemu-user, with the armhf
# sysroot as their root for libraries and Qt plug-ins.
#
# qemu-user cannot start child processes for an ARM program the way Qt does
# it, and a process id it gets wrong could reach processes far outside the
# test. So only programs that start nothing carry the label, and they run in
# a PID namespace of their own where one is allowed: whatever a program there
# signals, nothing outside it is reached.
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
build="${TAVRIK_ARMHF_BUILD_DIR:-$top/build/armhf}"
"$top/scripts/build-armhf.sh"
cd "$build"
run=(ctest -L pure -j2 --output-on-failure --timeout 300)
if unshare --pid --fork --mount-proc true 2>/dev/null; then
  exec unshare --pid --fork --mount-proc "${run[@]}"
fi
echo "test-armhf: no PID namespace here; running without one"
exec "${run[@]}"
