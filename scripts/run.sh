#!/usr/bin/env bash
# Sets up the machine, builds Korvale (Release) and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
# The program and its two tools; the tests are built by scripts/test.sh.
cmake --build build -j "$(nproc)" --target korvale korvale-sim korvale-replay
mkdir -p build/bin/Photos
exec build/bin/korvale "$@"
