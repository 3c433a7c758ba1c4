#!/usr/bin/env bash
# Lays out the armhf libraries the panel builds and runs against, in a folder
# of its own (default build/armhf-sysroot), without installing them.
#
# Debian 12's :armhf Qt development packages are not co-installable with the
# amd64 ones on a machine that already has them: apt wants to upgrade the
# installed amd64 Qt and library packages to the newest point release to keep
# the multi-arch pairs in step. So the .debs are downloaded and unpacked with
# dpkg -x instead; the host's amd64 moc, rcc and uic do the code generation.
# Idempotent: a stamp with the package list skips the work when nothing
# changed.
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
sysroot="${TAVRIK_ARMHF_SYSROOT:-$top/build/armhf-sysroot}"
debs="$top/build/armhf-debs"

# What the build needs, and the QML modules the interface imports so the
# armhf program can load its pages under qemu; everything they depend on
# comes along.
wanted=(
  qtbase5-dev:armhf qtdeclarative5-dev:armhf qtquickcontrols2-5-dev:armhf
  libqt5serialport5-dev:armhf qtmultimedia5-dev:armhf libgpiod-dev:armhf
  libarchive-dev:armhf libqt5websockets5-dev:armhf
  qml-module-qtquick2:armhf qml-module-qtquick-window2:armhf
  qml-module-qtquick-controls2:armhf qml-module-qtquick-templates2:armhf
  qml-module-qtquick-layouts:armhf
)

SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"

if ! dpkg --print-foreign-architectures | grep -qx armhf; then
  echo "adding the armhf architecture to dpkg"
  $SUDO dpkg --add-architecture armhf
  $SUDO apt-get update -qq
elif ! apt-cache show libqt5core5a:armhf >/dev/null 2>&1; then
  $SUDO apt-get update -qq
fi

# The whole closure, as apt would install it on an empty system: an empty
# dpkg status makes apt list every dependency, not just what this machine
# lacks. Only the armhf packages and the architecture-independent headers
# go in; the rest (tools, data) is taken from the host.
empty_status="$(mktemp)"
trap 'rm -f "$empty_status"' EXIT
list="$(apt-get -s -o Dir::State::status="$empty_status" -o APT::Get::Show-Versions=0 \
          install --no-install-recommends "${wanted[@]}" |
        awk '/^Inst / {
               arch = $NF; gsub(/[\[\])]/, "", arch)
               if ($2 ~ /:armhf$/) print $2 "=" substr($3, 2)
               else if (arch == "all" && $2 ~ /-dev$/) print $2 "=" substr($3, 2)
             }' | sort)"
[ -n "$list" ] || { echo "build-armhf: apt found no armhf Qt packages" >&2; exit 1; }

stamp="$sysroot/.packages"
if [ -f "$stamp" ] && [ "$(cat "$stamp")" = "$list" ]; then
  exit 0
fi

echo "laying out the armhf sysroot in $sysroot ($(echo "$list" | wc -l) packages)"
rm -rf "$sysroot"
mkdir -p "$debs" "$sysroot/usr/lib" "$sysroot/usr/bin" "$sysroot/usr/sbin"
(cd "$debs" && apt-get download -qq -o APT::Sandbox::User=root $list)
for name in $list; do
  pkg="${name%%=*}"; pkg="${pkg%%:*}"
  ver="${name#*=}"; ver="${ver//:/%3a}"
  deb="$(ls "$debs/${pkg}_${ver}_"*.deb 2>/dev/null | head -n1)"
  [ -n "$deb" ] || { echo "build-armhf: $name was not downloaded" >&2; exit 1; }
  dpkg-deb -x "$deb" "$sysroot"
done
rm -rf "$sysroot/usr/share/doc" "$sysroot/usr/share/man" "$sysroot/usr/share/locale"

# Debian 12 merges /lib into /usr/lib, as on a unit; the packages still ship
# some files under /lib. /bin stays out: a program under qemu that runs
# /bin/sh must get the host's shell.
if [ -d "$sysroot/lib" ] && [ ! -L "$sysroot/lib" ]; then
  cp -a "$sysroot/lib/." "$sysroot/usr/lib/"
  rm -rf "$sysroot/lib"
fi
ln -sfn usr/lib "$sysroot/lib"

# Absolute links inside the packages (libfoo.so -> /lib/...) must point into
# the sysroot, or the linker would follow them onto the host.
find "$sysroot" -type l -lname '/*' | while read -r link; do
  target="$(readlink "$link")"
  ln -sfn "$sysroot$target" "$link"
done
echo "$list" >"$stamp"
