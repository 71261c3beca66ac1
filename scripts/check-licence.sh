#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Fails when a source file of the project lacks its licence line near the top: C++
# files start with "// SPDX-License-Identifier: MIT"; scripts and CMake files carry
# "# SPDX-License-Identifier: MIT" first, or right after a "#!" or "#compdef" line.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
missing=0
while IFS= read -r file; do
    case "$file" in
    *.cpp | *.h) want='// SPDX-License-Identifier: MIT' ;;
    *) want='# SPDX-License-Identifier: MIT' ;;
    esac
    first=$(sed -n 1p "$file")
    second=$(sed -n 2p "$file")
    if [[ $first == "$want" ]] || { [[ $first == '#!'* || $first == '#compdef'* ]] && [[ $second == "$want" ]]; }; then
        continue
    fi
    echo "check-licence: $file: no \"$want\" at its top" >&2
    missing=1
done < <(git ls-files -- '*.cpp' '*.h' '*.sh' '*.bash' '*.cmake' '*CMakeLists.txt' 'packaging/completion/_*')
exit $missing
