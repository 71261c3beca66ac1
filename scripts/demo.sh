#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs what is needed, builds Tolmere and the demo game, and opens the editor on
# the demo game. Needs a desktop (an X or Wayland display).
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
bash "$root/scripts/install-deps.sh"
cmake -S "$root" -B "$root/build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$root/build" --target tolmere demo-game
if [[ -z ${DISPLAY:-} && -z ${WAYLAND_DISPLAY:-} ]]; then
    echo "No display: run this from a desktop session (or under xvfb-run)." >&2
    exit 1
fi
# The demo game's registry lives in its own Wine-style prefix; the editor finds the
# game through it.
WINEPREFIX="$root/build/demo/prefix" exec "$root/build/bin/tolmere"
