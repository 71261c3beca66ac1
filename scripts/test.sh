#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs what is needed, checks that the folders keep to their targets and every source
# file carries its licence line, then builds
# and runs every test twice: an optimised build, and a build under the address and
# undefined-behaviour sanitizers.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
bash "$root/scripts/install-deps.sh"
jobs=$(nproc)
bash "$root/scripts/check-folders.sh"
bash "$root/scripts/check-licence.sh"

cmake -S "$root" -B "$root/build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$root/build" -j "$jobs"
ctest --test-dir "$root/build" --output-on-failure -j "$jobs"

cmake -S "$root" -B "$root/build-asan" -G Ninja -DCMAKE_BUILD_TYPE=Debug \
  -DTOLMERE_SANITIZE=ON -DTOLMERE_BENCH=OFF
cmake --build "$root/build-asan" -j "$jobs"
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --test-dir "$root/build-asan" --output-on-failure -j "$jobs"
