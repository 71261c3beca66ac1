#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Checks that the source folders keep to their targets: no include cycle between the
# folders under src/, and no Qt or window header in a folder of the core. Prints what
# is wrong and exits 1; exits 0 when the tree is in order.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root/src"

# The folders the core library is built from; everything else is a program or the
# window layer.
core_folders="base tables mods items images archive sets grid app lint diff compiled strings"

edges=$(
    for folder in */; do
        folder=${folder%/}
        { grep -ho '^#include "[a-z]*/' -- "$folder"/*.h "$folder"/*.cpp 2>/dev/null || true; } |
            sed -e 's/^#include "//' -e 's|/$||' | sort -u |
            while read -r target; do
                if [[ $target != "$folder" ]]; then echo "$folder $target"; fi
            done
    done | sort -u
)

status=0
for folder in $core_folders; do
    [[ -d $folder ]] || continue
    if grep -l -E '^#include <Q|^#include "ui/' -- "$folder"/*.h "$folder"/*.cpp 2>/dev/null; then
        echo "check-folders: the core folder $folder/ includes Qt or window headers (above)" >&2
        status=1
    fi
done

# Depth-first search over the folder graph; a back edge is a cycle.
cycle=$(awk '
    { next_of[$1] = next_of[$1] " " $2; nodes[$1] = 1; nodes[$2] = 1 }
    function visit(n, path,    parts, i, m) {
        state[n] = 1
        split(next_of[n], parts, " ")
        for (i in parts) {
            m = parts[i]
            if (m == "") continue
            if (state[m] == 1) { found = path " -> " m; return 1 }
            if (state[m] == 0 && visit(m, path " -> " m)) return 1
        }
        state[n] = 2
        return 0
    }
    END {
        for (n in nodes) state[n] = 0
        for (n in nodes) if (state[n] == 0 && visit(n, n)) { print found; exit }
    }' <<<"$edges")
if [[ -n $cycle ]]; then
    echo "check-folders: include cycle between folders: $cycle" >&2
    status=1
fi
exit $status
