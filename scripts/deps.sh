#!/usr/bin/env bash
# Installs what the panel needs to build, run and test on Debian 12.
# Idempotent: asks apt only when a package is missing.
set -euo pipefail

packages=(
  cmake g++ make ccache pkg-config
  qtbase5-dev qtdeclarative5-dev qtquickcontrols2-5-dev
  libqt5serialport5-dev qtmultimedia5-dev
  libqt5websockets5-dev
  qml-module-qtquick2 qml-module-qtquick-window2 qml-module-qtquick-controls2
  qml-module-qtquick-layouts
  libgpiod-dev
  qttools5-dev-tools fonts-wqy-microhei
  libarchive-dev  # the support bundle's tar.gz (a kept library, not a format of our own)
  iproute2 dhcpcd-base net-tools procps
  xvfb x11vnc
  clang libclang-rt-dev
)
# Scripts that need more (the armhf build) name it as arguments.
packages+=("$@")

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "installing: ${missing[*]}"
  SUDO=""
  [ "$(id -u)" -eq 0 ] || SUDO="sudo"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends \
    -o DPkg::Lock::Timeout=600 "${missing[@]}"
fi
