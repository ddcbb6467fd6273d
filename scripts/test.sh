#!/usr/bin/env bash
# Sets up the machine, then builds and runs every test:
#   1. a full build with AddressSanitizer + UndefinedBehaviorSanitizer, all tests;
#   2. a ThreadSanitizer build of the threaded core, its tests labelled "threads".
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh

jobs=$(nproc)
export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=detect_leaks=0:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1 suppressions=$PWD/tests/tsan.supp"

echo "== AddressSanitizer + UndefinedBehaviorSanitizer build =="
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug \
  -DKORVALE_SANITIZE=address,undefined -DKORVALE_BUILD_BENCH=OFF >/dev/null
cmake --build build-asan -j "$jobs"
ctest --test-dir build-asan --output-on-failure -j "$jobs" --timeout 600

echo "== ThreadSanitizer build (threaded core) =="
cmake -S . -B build-tsan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DKORVALE_SANITIZE=thread -DKORVALE_BUILD_UI=OFF -DKORVALE_BUILD_BENCH=OFF >/dev/null
cmake --build build-tsan -j "$jobs"
ctest --test-dir build-tsan --output-on-failure -j "$jobs" -L threads --timeout 600
