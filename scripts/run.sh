#!/usr/bin/env bash
# Sets up the machine, builds Korvale (Release) and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build -j "$(nproc)"
mkdir -p build/bin/Photos
if [ -x build/bin/korvale ]; then
  exec build/bin/korvale "$@"
fi
echo "Built into build/bin:"; ls build/bin
