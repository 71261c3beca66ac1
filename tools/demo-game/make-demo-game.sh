#!/usr/bin/env bash
# Builds Tolmere's demo game installation: a Wine-style prefix holding a
# "Diablo II" directory with d2data.mpq and patch_d2.mpq made from the demo
# sources, and a registry that points at it.
#
#   make-demo-game.sh MPQ2K TOLMERE_CLI SOURCE_DIR OUT_DIR [DEMO_PICTURES]
#
# MPQ2K        the mpq2k archive tool
# TOLMERE_CLI  tolmere-cli (turns patchstring.txt into patchstring.tbl)
# SOURCE_DIR   the demo sources (data/demo)
# OUT_DIR      where the demo goes; OUT_DIR/prefix is rebuilt from scratch
# DEMO_PICTURES  the demo-pictures program; when given, every base item gets an
#              inventory picture in d2data.mpq and the patch overrides three of them
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
if [[ ! -d $3 ]]; then
    echo "$0: $3 is not a directory" >&2
    exit 1
fi

MPQ2K=$(absolute "$1")
TOLMERE_CLI=$(absolute "$2")
SOURCE_DIR=$(cd "$3" && pwd -P)
mkdir -p -- "$4"
OUT_DIR=$(cd "$4" && pwd -P)

EXCEL_TABLES=(UniqueItems.txt SetItems.txt weapons.txt armor.txt misc.txt)
for name in "${EXCEL_TABLES[@]}" patch/UniqueItems.txt patchstring.txt; do
    if [[ ! -f $SOURCE_DIR/$name ]]; then
        echo "$0: $SOURCE_DIR/$name is missing" >&2
        exit 1
    fi
done

PREFIX=$OUT_DIR/prefix
GAME_DIR="$PREFIX/drive_c/Program Files/Diablo II"

rm -rf -- "$PREFIX"
mkdir -p -- "$GAME_DIR" "$PREFIX/dosdevices"
ln -s ../drive_c "$PREFIX/dosdevices/c:"

WORK_DIR=$(mktemp -d)
trap 'rm -rf -- "$WORK_DIR"' EXIT

"$TOLMERE_CLI" txt2tbl "$SOURCE_DIR/patchstring.txt" "$WORK_DIR/patchstring.tbl"

cd -- "$GAME_DIR"

for name in "${EXCEL_TABLES[@]}"; do
    "$MPQ2K" a d2data.mpq "$SOURCE_DIR/$name" "data\\GLOBAL\\Excel\\$name"
done

"$MPQ2K" a patch_d2.mpq "$WORK_DIR/patchstring.tbl" 'data\LOCAL\LNG\ENG\patchstring.tbl'
"$MPQ2K" a patch_d2.mpq "$SOURCE_DIR/patch/UniqueItems.txt" 'data\GLOBAL\Excel\UniqueItems.txt'

if [[ $# -eq 5 ]]; then
    DEMO_PICTURES=$(absolute "$5")
    mkdir -p -- "$WORK_DIR/base" "$WORK_DIR/patched"
    LISTS=("$SOURCE_DIR/weapons.txt" "$SOURCE_DIR/armor.txt" "$SOURCE_DIR/misc.txt")
    "$DEMO_PICTURES" "${LISTS[@]}" "$WORK_DIR/base" > "$WORK_DIR/names"
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
