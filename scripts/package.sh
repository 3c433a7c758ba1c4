#!/usr/bin/env bash
# Builds the panel for amd64 (build/release) and armhf (build/armhf) and
# makes one Debian package of each in build/packages:
#   tavrik_<version>_amd64.deb and tavrik_<version>_armhf.deb
# Each holds /usr/bin/tavrik, the service tavrik.service (enabled on
# install) and the service user's sudo rights /etc/sudoers.d/tavrik. TAVRIK_PACKAGE_ARCHS="armhf" (or "amd64") makes only one.
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
out="$top/build/packages"
archs="${TAVRIK_PACKAGE_ARCHS:-amd64 armhf}"
version="${TAVRIK_VERSION:-$(sed -n 's/^project(tavrik VERSION \([0-9.]*\).*/\1/p' "$top/CMakeLists.txt")}"
[ -n "$version" ] || { echo "package: no version in CMakeLists.txt" >&2; exit 1; }

mkdir -p "$out"
for arch in $archs; do
  case "$arch" in
    amd64)
      "$top/scripts/deps.sh"
      build="${TAVRIK_BUILD_DIR:-$top/build/release}"
      "$top/scripts/build.sh" --target tavrik
      strip=strip ;;
    armhf)
      build="${TAVRIK_ARMHF_BUILD_DIR:-$top/build/armhf}"
      "$top/scripts/build-armhf.sh" --target tavrik
      strip=arm-linux-gnueabihf-strip ;;
    *) echo "package: unknown architecture $arch" >&2; exit 1 ;;
  esac

  stage="$top/build/pkgroot-$arch"
  rm -rf "$stage"
  install -d "$stage/DEBIAN" "$stage/usr/bin" "$stage/lib/systemd/system" "$stage/usr/share/doc/tavrik" \
    "$stage/etc/sudoers.d"
  install -m 0755 "$build/app/tavrik" "$stage/usr/bin/tavrik"
  "$strip" --strip-unneeded "$stage/usr/bin/tavrik"
  install -m 0644 "$top/packaging/tavrik.service" "$stage/lib/systemd/system/tavrik.service"
  # The service user's root rights: not a conffile, so they are always
  # exactly what this package says and leave with it on removal.
  install -m 0440 "$top/packaging/sudoers" "$stage/etc/sudoers.d/tavrik"
  install -m 0644 "$top/README.md" "$stage/usr/share/doc/tavrik/README.md"
  # The README links into docs/: ship the documents beside it.
  install -d "$stage/usr/share/doc/tavrik/docs"
  install -m 0644 "$top"/docs/*.md "$stage/usr/share/doc/tavrik/docs/"
  for s in postinst prerm postrm; do
    install -m 0755 "$top/packaging/debian/$s" "$stage/DEBIAN/$s"
  done
  size="$(du -sk --exclude=DEBIAN "$stage" | cut -f1)"
  sed -e "s/@VERSION@/$version/" -e "s/@ARCH@/$arch/" -e "s/@SIZE@/$size/" \
    "$top/packaging/debian/control.in" >"$stage/DEBIAN/control"
  dpkg-deb --root-owner-group -Zxz --build "$stage" "$out/tavrik_${version}_${arch}.deb" >/dev/null
  echo "package: $out/tavrik_${version}_${arch}.deb"
done
