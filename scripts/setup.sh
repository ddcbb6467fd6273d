#!/usr/bin/env bash
# Installs the Debian packages Korvale needs to build, test and run.
# Idempotent: prints nothing and touches nothing when every package is present.
set -euo pipefail

# libqt6opengl6-dev: the OpenGL module that the Qt Charts build files require.
# desktop-file-utils and appstream: the validators that the packaging test runs over
# the installed desktop entry and AppStream description.
packages=(
  qt6-base-dev qt6-serialport-dev qt6-charts-dev libqt6opengl6-dev libjpeg-dev libgtest-dev libbenchmark-dev
  xvfb xauth fonts-wqy-microhei fonts-liberation2 fonts-dejavu-core cmake ninja-build g++ clang-format git
  desktop-file-utils appstream
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -ne 0 ]; then
  echo "setup: missing packages: ${missing[*]}; run as root (or install them with sudo apt-get install)" >&2
  exit 1
fi
echo "setup: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
