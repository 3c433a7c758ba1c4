#!/usr/bin/env bash
# Builds the armhf panel (build-armhf.sh) and runs the test programs labelled
# "pure" (tests/CMakeLists.txt) on ARM under qemu-user, with the armhf
# sysroot as their root for libraries and Qt plug-ins, and the page tests.
# Then the interface on ARM: the armhf screenshot tour renders the root page,
# the home page and two pop-ups under qemu (offscreen, software renderer)
# and compares them with the amd64 tour's renders of the same pages, pixel
# for pixel.
#
# qemu-user cannot start child processes for an ARM program the way Qt does
# it, and a process id it gets wrong could reach processes far outside the
# test. So only programs that start nothing carry the label, and they run in
# a PID namespace of their own where one is allowed: whatever a program there
# signals, nothing outside it is reached. The tour runs in one too: the
# interface's lanes try to start the Pi's tools, which fails there harmlessly.
#
# Both tours read the same font files: the sysroot holds no fonts and no
# fontconfig set-up, so the armhf program finds the host's under qemu.
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
build="${TAVRIK_ARMHF_BUILD_DIR:-$top/build/armhf}"
sysroot="${TAVRIK_ARMHF_SYSROOT:-$top/build/armhf-sysroot}"
host="${TAVRIK_BUILD_DIR:-$top/build/release}"
"$top/scripts/build-armhf.sh"

pidns=()
if unshare --pid --fork --mount-proc true 2>/dev/null; then
  pidns=(unshare --pid --fork --mount-proc)
else
  echo "test-armhf: no PID namespace here; running without one"
fi

# Qt 5.15 looks for QML modules with statx(), which qemu-user 7.2 does not
# send into the sysroot as it does open() and stat(): name the sysroot's
# module folder itself (for the ARM programs only).
armqml=(env QML2_IMPORT_PATH="$sysroot/usr/lib/arm-linux-gnueabihf/qt5/qml")
arm=("${armqml[@]}" qemu-arm-static -L "$sysroot")
export QT_QPA_PLATFORM=offscreen

(cd "$build" && "${armqml[@]}" "${pidns[@]}" ctest -L pure -j2 --output-on-failure --timeout 300)

# The page tests on ARM, but for those whose update or meter program would
# have to run as a child process (see above), and the guard rails (the CUT's
# 250 ms repeat guard, the 0.6 s holds, a fader's drag), whose windows only
# mean something at the unit's own speed: they run natively in the amd64 and
# sanitizer passes. Emulated, a page test that waits for the panel to settle
# can run past its wait when the machine is busy: a failed function runs
# once more, and fails the step if it fails again.
pages_test="$build/tests/ui/tst_pages"
functions="$("${arm[@]}" "$pages_test" -functions | sed 's/()$//' \
  | grep -vxE 'upgradeBothVersions|meterFollowsFrames|cutActsOnTouchDownOnce|memoryRecallNeedsAHold|faderMovesOnlyByItsKnob|onAirPresetNeedsAHold')"
run_pages() { "${pidns[@]}" "${arm[@]}" "$pages_test" -silent "$@"; }
# shellcheck disable=SC2086 # one argument per test function
if ! out="$(run_pages $functions 2>&1)"; then
  printf '%s\n' "$out"
  failed="$(printf '%s\n' "$out" | sed -n 's/^FAIL!  : TstPages::\([A-Za-z0-9_]*\)(.*/\1/p' | sort -u)"
  [ -n "$failed" ] || exit 1
  echo "emulated page tests: running again: $(echo $failed)"
  # shellcheck disable=SC2086
  run_pages $failed
fi

# The amd64 tour is built by test.sh before this in CI; build it if not.
"$top/scripts/build.sh" --target tavrik-tour
pages=main.qml,pages/HomePage.qml,popups/CameraPopup.qml,popups/AudioPopup.qml
shots="$build/tour-compare"
rm -rf "$shots"
mkdir -p "$shots/amd64" "$shots/armhf"
"$host/tools/tavrik-tour" --out "$shots/amd64" --sheet "" --still --langs en --pages "$pages"
# Equal, not near: both draw with the same Qt, the same fonts and Qt's own
# software rasteriser, so any difference is a fault of the ARM build.
"${pidns[@]}" "${arm[@]}" "$build/tools/tavrik-tour" \
  --out "$shots/armhf" --sheet "" --still --langs en --pages "$pages" --compare "$shots/amd64" --tolerance 0
