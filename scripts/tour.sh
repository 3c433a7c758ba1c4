#!/usr/bin/env bash
# Renders every page and pop-up in the three languages (1024x600, offscreen)
# into build/tour/, and the contact sheet docs/tour.png for the README.
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
build="${TAVRIK_BUILD_DIR:-$top/build/release}"
"$top/scripts/build.sh" --target tavrik-tour
mkdir -p "$top/build/tour"
QT_QPA_PLATFORM=offscreen "$build/tools/tavrik-tour" --out "$top/build/tour" --sheet "$top/docs/tour.png" "$@"
