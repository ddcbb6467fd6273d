#!/usr/bin/env bash
# Builds the Debian package dist/korvale_<version>_<architecture>.deb: a Release
# build of the program and its two tools, installed under /usr and packed by CPack.
# Install it with: apt-get install ./dist/korvale_<version>_amd64.deb
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh

# CPack's Debian generator reads the package's library dependencies off the
# programs with dpkg-shlibdeps (dpkg-dev) and tells programs from other files with
# file. Installed like scripts/setup.sh does: only what is missing, silently.
packages=(dpkg-dev file)
missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
if [ ${#missing[@]} -ne 0 ]; then
  if [ "$(id -u)" -ne 0 ]; then
    echo "package: missing packages: ${missing[*]}; run as root (or install them with sudo apt-get install)" >&2
    exit 1
  fi
  echo "package: installing ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# The install step builds only what it installs (not the tests), so CPack does not
# build the whole tree.
cmake -S . -B build-package -G Ninja -DCMAKE_BUILD_TYPE=Release -DKORVALE_BUILD_BENCH=OFF \
  -DCMAKE_SKIP_INSTALL_ALL_DEPENDENCY=ON >/dev/null
cmake --build build-package -j "$(nproc)" --target korvale korvale-sim korvale-replay korvale-manpage

rm -rf build-package/cpack
cpack --config build-package/CPackConfig.cmake -B "$PWD/build-package/cpack"
mkdir -p dist
shopt -s nullglob
debs=(build-package/cpack/*.deb)
[ ${#debs[@]} -eq 1 ] || { echo "package: expected one package, found ${#debs[@]}" >&2; exit 1; }
mv -f "${debs[0]}" dist/
echo "package: dist/$(basename "${debs[0]}")"
