#!/usr/bin/env bash
# Makes the packages (package.sh) and checks each: its contents, its control
# fields, that every library the program links comes from a package it
# depends on, the service file (systemd-analyze verify), the sudo rights
# (visudo), and installing,
# upgrading, removing and purging it in a throwaway root. Nothing here
# touches the running system: the maintainer scripts see DPKG_ROOT and only
# enable and disable the service inside that root.
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
archs="${TAVRIK_PACKAGE_ARCHS:-amd64 armhf}"
# systemd-analyze and visudo.
"$top/scripts/deps.sh" systemd sudo
TAVRIK_PACKAGE_ARCHS="$archs" "$top/scripts/package.sh"
version="$(sed -n 's/^project(tavrik VERSION \([0-9.]*\).*/\1/p' "$top/CMakeLists.txt")"
version="${TAVRIK_VERSION:-$version}"

failures=0
fail() { echo "FAIL [$arch]: $*" >&2; failures=$((failures + 1)); }
work="$(mktemp -d /tmp/tavrik-pkgtest.XXXXXX)"
trap 'rm -rf "$work"' EXIT

for arch in $archs; do
  deb="$top/build/packages/tavrik_${version}_${arch}.deb"
  echo "== $deb"
  [ -f "$deb" ] || { fail "no package"; continue; }

  # Contents: the program for the right machine, the service, the sudo
  # rights, nothing else outside /usr/share/doc.
  files="$(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ {print $6}' | grep -v '^\./usr/share/doc/' | sort | tr '\n' ' ')"
  [ "$files" = "./etc/sudoers.d/tavrik ./lib/systemd/system/tavrik.service ./usr/bin/tavrik " ] || fail "contents: $files"
  x="$work/x-$arch"; dpkg-deb -x "$deb" "$x"
  machine="$(LC_ALL=C readelf -h "$x/usr/bin/tavrik" | sed -n 's/^ *Machine: *//p')"
  case "$arch" in
    armhf) [[ "$machine" == ARM ]] || fail "program is for $machine" ;;
    amd64) [[ "$machine" == *X86-64 ]] || fail "program is for $machine" ;;
  esac
  [ -x "$x/usr/bin/tavrik" ] || fail "program not executable"

  # Control fields.
  field() { dpkg-deb -f "$deb" "$1"; }
  [ "$(field Package)" = tavrik ] || fail "Package: $(field Package)"
  [ "$(field Architecture)" = "$arch" ] || fail "Architecture: $(field Architecture)"
  [ "$(field Version)" = "$version" ] || fail "Version: $(field Version)"
  depends=",$(field Depends | tr -d ' ')," 
  for p in qml-module-qtquick2 qml-module-qtquick-window2 qml-module-qtquick-controls2 \
           qml-module-qtquick-layouts fonts-wqy-microhei i2c-tools sudo; do
    [[ "$depends" == *",$p,"* || "$depends" == *",$p("* ]] || fail "Depends lacks $p"
  done
  [[ ",$(field Recommends | tr -d ' ')," == *",raspi-gpio,"* ]] || fail "Recommends lacks raspi-gpio"
  # Every shared library the program needs comes from a package in Depends
  # (the package names are the same on both architectures).
  for lib in $(LC_ALL=C readelf -d "$x/usr/bin/tavrik" | sed -n 's/.*Shared library: \[\(.*\)\]/\1/p'); do
    owner="$(dpkg -S "*/x86_64-linux-gnu/$lib" 2>/dev/null | head -n1 | cut -d: -f1 || true)"
    [ -n "$owner" ] || { fail "no package on this machine owns $lib"; continue; }
    [[ "$depends" == *",$owner,"* || "$depends" == *",$owner("* || "$depends" == *"|$owner("* || "$depends" == *"|$owner,"* ]] \
      || fail "$lib comes from $owner, which is not in Depends"
  done

  # The service file, against the host's own units.
  mkdir -p "$x/lib/systemd/system"
  cp -an /lib/systemd/system/. "$x/lib/systemd/system/"
  verify="$(systemd-analyze verify --root="$x" /lib/systemd/system/tavrik.service 2>&1)" || fail "systemd-analyze verify failed"
  [ -z "$verify" ] || fail "systemd-analyze verify: $verify"
  unit="$x/lib/systemd/system/tavrik.service"
  for line in Type=notify WatchdogSec=5 User=pi KillSignal=SIGTERM Restart=always ExecStart=/usr/bin/tavrik \
              WantedBy=multi-user.target; do
    grep -qx "$line" "$unit" || fail "service lacks $line"
  done
  grep -q '^Environment=.*HOME=/home/pi' "$unit" || fail "service lacks HOME=/home/pi"
  [ "$(grep -c '^Restart=' "$unit")" = 1 ] || fail "service has more than one Restart="

  # The sudo rights: valid for sudo, root's alone and read-only, and only
  # the named command lines of the service user (no ALL, no shell).
  sudoers="$x/etc/sudoers.d/tavrik"
  [ "$(dpkg-deb -c "$deb" | awk '$6 == "./etc/sudoers.d/tavrik" {print $1, $2}')" = "-r--r----- root/root" ] \
    || fail "sudoers drop-in is not mode 0440 root/root"
  check="$(visudo -c -f "$sudoers" 2>&1)" || fail "visudo: $check"
  rules="$(grep -v '^[[:space:]]*#' "$sudoers" | grep -v '^Cmnd_Alias' | grep -v '^[[:space:]]*\(/\|$\)' || true)"
  [ "$rules" = "pi ALL = (root) NOPASSWD: TAVRIK_BOOT, TAVRIK_NET, TAVRIK_LEVELS, TAVRIK_STOP, TAVRIK_GPIO" ] \
    || fail "sudoers grants more than the panel's commands: $rules"
  if grep -Eq 'NOPASSWD: *ALL|/bin/(ba)?sh|sudoedit|\*' "$sudoers"; then fail "sudoers grants a shell, ALL or a wildcard"; fi

  # Install, upgrade, remove and purge in a throwaway root. Its dependencies
  # are not there, and an armhf package goes into it on any machine.
  root="$work/root-$arch"
  mkdir -p "$root/var/lib/dpkg/info" "$root/var/lib/dpkg/updates" "$root/lib/systemd/system"
  touch "$root/var/lib/dpkg/status"
  cp -an /lib/systemd/system/multi-user.target "$root/lib/systemd/system/"
  dpkgr() {
    DEBIAN_FRONTEND=noninteractive dpkg --root="$root" --force-script-chrootless --force-depends \
      --force-architecture --force-not-root --log=/dev/null "$@" >"$work/dpkg.log" 2>&1 \
      || { cat "$work/dpkg.log" >&2; fail "dpkg $*"; }
  }
  wants="$root/etc/systemd/system/multi-user.target.wants/tavrik.service"
  dpkgr -i "$deb"
  [ -x "$root/usr/bin/tavrik" ] || fail "install: no program"
  [ -L "$wants" ] || fail "install: service not enabled"
  [ -f "$root/etc/sudoers.d/tavrik" ] || fail "install: no sudo rights"
  next="$work/tavrik_next_$arch.deb"
  rm -rf "$work/next"; dpkg-deb -R "$deb" "$work/next"
  sed -i "s/^Version: .*/Version: ${version}+1/" "$work/next/DEBIAN/control"
  dpkg-deb --root-owner-group --build "$work/next" "$next" >/dev/null
  dpkgr -i "$next"
  [ "$(dpkg-query --admindir="$root/var/lib/dpkg" -W -f='${Version}' tavrik)" = "${version}+1" ] || fail "upgrade: version"
  [ -L "$wants" ] || fail "upgrade: service no longer enabled"
  dpkgr -r tavrik
  [ ! -e "$root/usr/bin/tavrik" ] && [ ! -e "$root/lib/systemd/system/tavrik.service" ] \
    && [ ! -e "$root/etc/sudoers.d/tavrik" ] || fail "remove: files left"
  [ ! -L "$wants" ] || fail "remove: service still enabled"
  dpkgr -P tavrik
  dpkg-query --admindir="$root/var/lib/dpkg" -W tavrik >/dev/null 2>&1 && fail "purge: still known to dpkg"
done

if [ "$failures" -gt 0 ]; then
  echo "test-package: $failures failure(s)" >&2
  exit 1
fi
echo "test-package: all checks passed for: $archs"
