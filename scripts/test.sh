#!/usr/bin/env bash
# Installs what is missing, builds, and runs the whole test suite.
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
"$top/scripts/deps.sh"
"$top/scripts/build.sh"
build="${TAVRIK_BUILD_DIR:-$top/build/release}"
cd "$build"
# Tests that use the fixed ports 5002 and 20000 hold a shared resource lock,
# so running two at a time is safe.
ctest -j2 --output-on-failure --timeout 300
