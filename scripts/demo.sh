#!/usr/bin/env bash
# Installs what is needed, builds Tolmere and shows the bundled sample unique items
# with their modifiers as the editor lists them.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
bash "$root/scripts/install-deps.sh"
cmake -S "$root" -B "$root/build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$root/build" --target tolmere-cli
"$root/build/bin/tolmere-cli" describe "$root/samples/UniqueItems.txt"
