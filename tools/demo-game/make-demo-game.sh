#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds a demo game installation: a Wine-style prefix holding a "Diablo II"
# directory whose archives are made from a folder of sources, and a registry that
# points at it.
#
#   make-demo-game.sh MPQ2K TOLMERE_CLI SOURCE_DIR OUT_DIR [DEMO_PICTURES]
#
# MPQ2K        the mpq2k archive tool
# TOLMERE_CLI  tolmere-cli (turns string table text into .tbl files)
# SOURCE_DIR   the sources, one folder per archive:
#                d2data/  -> d2data.mpq,  d2exp/ -> d2exp.mpq,  patch/ -> patch_d2.mpq
#              in each, excel/NAME.txt becomes data\GLOBAL\Excel\NAME.txt and
#              lng/NAME.txt (tolmere-cli's string table text) data\LOCAL\LNG\ENG\NAME.tbl
# OUT_DIR      where the demo goes; OUT_DIR/prefix is rebuilt from scratch
# DEMO_PICTURES  the demo-pictures program; when given, every base item of the
#              d2data lists gets an inventory picture in d2data.mpq and the patch
#              archive overrides three of them
#
# Prints the game directory when done.
set -euo pipefail

if [[ $# -ne 4 && $# -ne 5 ]]; then
    echo "usage: $0 MPQ2K TOLMERE_CLI SOURCE_DIR OUT_DIR [DEMO_PICTURES]" >&2
    exit 2
fi

absolute() {
    local dir
    dir=$(cd "$(dirname -- "$1")" && pwd -P)
    printf '%s/%s\n' "$dir" "$(basename -- "$1")"
}

for tool in "$1" "$2"; do
    if [[ ! -x $tool ]]; then
        echo "$0: $tool is not an executable file" >&2
        exit 1
    fi
done
if [[ ! -d $3/d2data/excel ]]; then
    echo "$0: $3 has no d2data/excel folder" >&2
    exit 1
fi

MPQ2K=$(absolute "$1")
TOLMERE_CLI=$(absolute "$2")
SOURCE_DIR=$(cd "$3" && pwd -P)
mkdir -p -- "$4"
OUT_DIR=$(cd "$4" && pwd -P)
DEMO_PICTURES=
[[ $# -eq 5 ]] && DEMO_PICTURES=$(absolute "$5")

PREFIX=$OUT_DIR/prefix
GAME_DIR="$PREFIX/drive_c/Program Files/Diablo II"

rm -rf -- "$PREFIX"
mkdir -p -- "$GAME_DIR" "$PREFIX/dosdevices"
ln -s ../drive_c "$PREFIX/dosdevices/c:"

WORK_DIR=$(mktemp -d)
trap 'rm -rf -- "$WORK_DIR"' EXIT

cd -- "$GAME_DIR"

# The base archive first, so that the patch archive is written last, as a game's is.
for pair in d2data:d2data.mpq d2exp:d2exp.mpq patch:patch_d2.mpq; do
    folder=$SOURCE_DIR/${pair%%:*}
    archive=${pair#*:}
    [[ -d $folder ]] || continue
    shopt -s nullglob
    for table in "$folder"/excel/*.txt; do
        "$MPQ2K" a "$archive" "$table" "data\\GLOBAL\\Excel\\$(basename -- "$table")"
    done
    for text in "$folder"/lng/*.txt; do
        name=$(basename -- "$text" .txt)
        "$TOLMERE_CLI" txt2tbl "$text" "$WORK_DIR/$name.tbl"
        "$MPQ2K" a "$archive" "$WORK_DIR/$name.tbl" "data\\LOCAL\\LNG\\ENG\\$name.tbl"
    done
    shopt -u nullglob
done

# The base item lists, whatever the case of their names.
find_list() {
    local found
    found=$(find "$SOURCE_DIR/d2data/excel" -maxdepth 1 -iname "$1" | head -n 1)
    if [[ -z $found ]]; then
        echo "$0: $SOURCE_DIR/d2data/excel has no $1" >&2
        exit 1
    fi
    printf '%s\n' "$found"
}

if [[ -n $DEMO_PICTURES ]]; then
    mkdir -p -- "$WORK_DIR/base" "$WORK_DIR/patched"
    LISTS=("$(find_list weapons.txt)" "$(find_list armor.txt)" "$(find_list misc.txt)")
    # Items that name a picture of their own get one too.
    ITEMS=()
    for table in "$SOURCE_DIR"/*/excel/UniqueItems.txt "$SOURCE_DIR"/*/excel/SetItems.txt; do
        [[ -f $table ]] && ITEMS+=("$table")
    done
    "$DEMO_PICTURES" "${LISTS[@]}" "$WORK_DIR/base" "${ITEMS[@]}" > "$WORK_DIR/names"
    "$DEMO_PICTURES" --patched "${LISTS[@]}" "$WORK_DIR/patched" > /dev/null
    while read -r name; do
        "$MPQ2K" a d2data.mpq "$WORK_DIR/base/$name.dc6" "data\\GLOBAL\\Items\\$name.dc6"
    done < "$WORK_DIR/names"
    # The patch archive carries its own copy of the first three, as mods do.
    head -n 3 "$WORK_DIR/names" | while read -r name; do
        "$MPQ2K" a patch_d2.mpq "$WORK_DIR/patched/$name.dc6" "data\\GLOBAL\\Items\\$name.dc6"
    done
fi

cp -- "$MPQ2K" mpq2k
chmod +x mpq2k

# Wine registry files; inside key names and values every backslash is doubled.
{
    printf '%s\n' 'WINE REGISTRY Version 2'
    printf '%s\n' ';; All keys relative to \\Machine'
    printf '\n'
    printf '%s\n' '#arch=win32'
    printf '\n'
    printf '%s\n' '[Software\\Blizzard Entertainment\\Diablo II] 1700000000'
    printf '%s\n' '#time=1d9a0b0c0d0e0f0'
    printf '%s\n' '"InstallPath"="C:\\Program Files\\Diablo II"'
    printf '\n'
} > "$PREFIX/system.reg"

{
    printf '%s\n' 'WINE REGISTRY Version 2'
    printf '%s\n' ';; All keys relative to \\User\\S-1-5-21-0-0-0-1000'
    printf '\n'
} > "$PREFIX/user.reg"

printf '%s\n' "$GAME_DIR"
