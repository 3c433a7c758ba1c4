#!/usr/bin/env bash
# Installs what is missing, builds, and starts the panel against the
# simulated unit in a fresh temporary sysroot: the panel's window (at the
# unit's screen size, 1024x600) and the unit's window side by side.
# With a display (DISPLAY set) they open there. Without one they open on a
# virtual display (Xvfb) that a VNC viewer reaches on 127.0.0.1 only.
# TAVRIK_SKIP_BUILD=1 starts what is built as it is (the tests use it);
# TAVRIK_VNC_PORT picks the viewer's port (default: the first free from 5900);
# TAVRIK_SIM_ARGS adds options of tavrik-sim (for example "--grab shot.png").
# Arguments go to the panel.
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
if [ "${TAVRIK_SKIP_BUILD:-}" != 1 ]; then
  "$top/scripts/deps.sh"
  "$top/scripts/build.sh"
fi
build="${TAVRIK_BUILD_DIR:-$top/build/release}"

pids=()
work="$(mktemp -d /tmp/tavrik-run.XXXXXX)"
cleanup() {
  trap - EXIT INT TERM
  for ((i=${#pids[@]}-1; i>=0; i--)); do
    kill "${pids[i]}" 2>/dev/null || true
    wait "${pids[i]}" 2>/dev/null || true
  done
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

port_free() { ! (exec 3<>"/dev/tcp/127.0.0.1/$1") 2>/dev/null; }

if [ -z "${DISPLAY:-}" ]; then
  # -displayfd: the server picks a free display number and tells it;
  # -nolisten tcp: it is reached through its local socket only.
  Xvfb -displayfd 3 -nolisten tcp -screen 0 2220x800x24 3>"$work/display" 2>"$work/xvfb.log" &
  pids+=($!)
  for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
  [ -s "$work/display" ] || { echo "Xvfb did not start:" >&2; cat "$work/xvfb.log" >&2; exit 1; }
  export DISPLAY=":$(head -1 "$work/display")"
  port="${TAVRIK_VNC_PORT:-5900}"
  if [ -z "${TAVRIK_VNC_PORT:-}" ]; then
    while ! port_free "$port"; do port=$((port + 1)); done
  fi
  # -localhost: loopback only; with that, no password is acceptable.
  x11vnc -display "$DISPLAY" -localhost -noipv6 -rfbport "$port" -nopw -forever -shared -quiet \
    >"$work/x11vnc.log" 2>&1 &
  pids+=($!)
  echo "virtual display $DISPLAY: connect a VNC viewer to 127.0.0.1:$port (for example: vncviewer 127.0.0.1::$port)"
fi

# The unit's window to the right of the panel's; the unit's console stays
# on this terminal (type "help").
exec 4<&0
# shellcheck disable=SC2086 # TAVRIK_SIM_ARGS is a list of options
"$build/sim/tavrik-sim" --at 1034,0 --panel "$build/app/tavrik" ${TAVRIK_SIM_ARGS:-} \
  -- -platform xcb -geometry 1024x600+0+0 "$@" <&4 &
pids+=($!)
sim=$!
set +e
wait "$sim"
rc=$?
exit "$rc"
