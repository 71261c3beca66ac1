#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The manual pages and the bash completion say what --help says: every command and
# option of a program's --help is in its manual page, every exit code of its "Exit
# status" in the page's EXIT STATUS, Tab in bash offers every command (and every option
# the --help puts on a command's line, after that command), the zsh completion names
# every command and option, and --version and the page carry the project's version. The AppStream screenshots are pictures tolmere-shots
# draws.
#
#   help-agreement.sh SOURCE_DIR VERSION TOLMERE TOLMERE_CLI MPQ2K
# No pipefail: grep -q leaves a pipe early, and the writer then fails.
set -u
source_dir=$1 version=$2
# program name, built program, manual page, bash completion, zsh completion
programs=(
    "tolmere|$3|packaging/man/tolmere.1.in|packaging/completion/tolmere.bash|packaging/completion/_tolmere"
    "tolmere-cli|$4|packaging/man/tolmere-cli.1.in|packaging/completion/tolmere-cli.bash|packaging/completion/_tolmere-cli"
    "mpq2k|$5|packaging/man/mpq2k.1.in|packaging/completion/mpq2k.bash|packaging/completion/_mpq2k"
)
failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

# The page as text: no comments, no macro names, no font changes, plain hyphens.
page_text() {
    sed -e '/^\.\\"/d' -e 's/^\.[A-Z][A-Z]* *//' -e 's/\\f[BIRP]//g' -e 's/\\-/-/g' \
        -e 's/\\e/\\/g' -e 's/"//g' "$1"
}

# What Tab offers for the words given (the last one being typed), one per line.
offered() {
    local completion=$1
    shift
    bash -c 'source "$1"; shift
        COMP_WORDS=("$@"); COMP_CWORD=$(($# - 1))
        "$(complete -p "$1" | sed "s/.*-F \([^ ]*\) .*/\1/")"
        printf "%s\n" "${COMPREPLY[@]}"' _ "$completion" "$@"
}

for row in "${programs[@]}"; do
    IFS='|' read -r name program page completion zsh <<<"$row"
    page="$source_dir/$page" completion="$source_dir/$completion" zsh="$source_dir/$zsh"
    help=$("$program" --help) || fail "$name --help exits with $?"
    text=$(page_text "$page")

    [[ $("$program" --version) == "$name $version" ]] ||
        fail "$name --version prints '$("$program" --version)', not '$name $version'"
    grep -q "^\.TH .*\"Tolmere @PROJECT_VERSION@\"" "$page" ||
        fail "$page: .TH does not carry the project's version"

    # A command is what starts a line of the table, indented by two spaces: its word,
    # and the word after it where that is lower case (mod add, raw add-row).
    commands=$(grep -E '^  [a-z]' <<<"$help" | sed -E 's/^  ([a-z0-9]+( [a-z][a-z-]*)?).*/\1/' |
        sort -u)
    options=$(grep -oE '(^|[^a-z0-9-])--?[a-z][a-z-]*' <<<"$help" | grep -oE -- '--?[a-z][a-z-]*' |
        sort -u)
    codes=$(sed -n '/^Exit status:/,$p' <<<"$help" | grep -oE '(^|[ ,])[0-9]+ [a-z]' |
        grep -oE '[0-9]+')
    [[ -n $codes ]] || fail "$name --help lists no exit codes"

    while read -r command; do
        [[ -z $command ]] && continue
        # An entry is a tag in bold: ".TP" then "\fBmod add\fR ...".
        sed 's/\\-/-/g' "$page" | grep -qE "^\\\\fB$command\\\\fR( |$)" ||
            fail "$page: no entry for '$command'"
        words=($command)
        before=()
        for word in "${words[@]}"; do
            offered "$completion" "$name" "${before[@]}" "" | grep -qxF -- "$word" ||
                fail "$completion: Tab after '$name ${before[*]}' does not offer '$word'"
            before+=("$word")
            # A candidate of _describe ('word:what it does') or of _values.
            grep -qE -- "'$word:|_values '[^']*'( [a-z-]+)* $word( |\$)" "$zsh" ||
                fail "$zsh: '$word' is no candidate"
        done
        # The options the table puts on this command's lines, offered after it.
        for option in $(grep -E "^  $command( |$)" <<<"$help" | grep -oE -- ' \[?--[a-z][a-z-]*' |
            tr -d ' ['); do
            offered "$completion" "$name" "${words[@]}" -- | grep -qxF -- "$option" ||
                fail "$completion: Tab after '$name $command --' does not offer '$option'"
        done
    done <<<"$commands"

    while read -r option; do
        [[ -z $option ]] && continue
        grep -qE -- "(^|[^a-z0-9-])$option([^a-z-]|$)" <<<"$text" ||
            fail "$page: no mention of '$option'"
        [[ $option != --* ]] || grep -qE -- "(^|[^a-z0-9-])$option([^a-z-]|$)" "$zsh" ||
            fail "$zsh: no '$option'"
    done <<<"$options"
    # Options on a line of their own (--help, --version) are offered first.
    for option in $(grep -E '^  -' <<<"$help" | grep -oE -- '--[a-z][a-z-]*'); do
        offered "$completion" "$name" -- | grep -qxF -- "$option" ||
            fail "$completion: Tab after '$name' does not offer '$option'"
    done

    exit_section=$(sed -n '/^EXIT STATUS$/,/^[A-Z][A-Z ]*$/p' <<<"$text")
    for code in $codes; do
        grep -qx "$code" <<<"$exit_section" || fail "$page: exit code $code missing"
    done
done

metainfo="$source_dir/packaging/io.github.tolmere.Tolmere.metainfo.xml.in"
for picture in $(grep -oE '[0-9]+-[a-z]+\.png</image>' "$metainfo" | sed 's|</image>||'); do
    grep -qF "\"$picture\"" "$source_dir"/src/shots/*.cpp ||
        fail "$metainfo: tolmere-shots draws no $picture"
done

((failures == 0)) || exit 1
echo "help, manual pages and completion agree"
