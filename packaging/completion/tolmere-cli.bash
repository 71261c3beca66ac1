# SPDX-License-Identifier: MIT
# bash completion for tolmere-cli                          -*- shell-script -*-
# Installed as share/bash-completion/completions/tolmere-cli, where bash-completion
# loads it on the first Tab; it needs nothing from bash-completion itself, so it can
# be sourced on its own as well.

# Completes file names (or, with -d, folder names) for the word being typed.
_tolmere_cli_paths() {
    local kind=-f
    [[ ${1-} == -d ]] && kind=-d
    compopt -o filenames 2>/dev/null
    mapfile -t COMPREPLY < <(compgen "$kind" -- "$cur")
}

_tolmere_cli() {
    local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD - 1]}
    COMPREPLY=()
    if ((COMP_CWORD == 1)); then
        mapfile -t COMPREPLY < <(compgen -W "resave tbl2txt txt2tbl describe mod sets raw
            strings dc6 pictures lint resource diff patch bin --help --version" -- "$cur")
        return
    fi
    local command=${COMP_WORDS[1]} options=
    if ((COMP_CWORD == 2)); then
        case $command in
        mod) mapfile -t COMPREPLY < <(compgen -W "add edit delete" -- "$cur"); return ;;
        patch) mapfile -t COMPREPLY < <(compgen -W "make apply" -- "$cur"); return ;;
        raw) mapfile -t COMPREPLY < <(compgen -W "set add-row find replace paste calc" -- "$cur"); return ;;
        esac
    fi
    case $prev in
    --strings | --game-data | --bases) _tolmere_cli_paths -d; return ;;
    --modkey | --tbl | --sets) _tolmere_cli_paths; return ;;
    --node | --group | --column) return ;;
    esac
    case $command in
    describe) options="--modkey --tbl --strings --game-data" ;;
    sets) options="--sets --strings --game-data" ;;
    mod) options="--replace --game-data --node --group --sets" ;;
    dc6) options="--opaque" ;;
    pictures) options="--bases" ;;
    lint) options="--game-data --strings --json" ;;
    diff) options="--words --game-data --strings --modkey" ;;
    bin) options="--check --game-data --strings" ;;
    raw) options="--column --case --whole --regex" ;;
    --help | -h | help | --version) return ;;
    esac
    if [[ $cur == -?* && -n $options ]]; then
        mapfile -t COMPREPLY < <(compgen -W "$options" -- "$cur")
        return
    fi
    # Every other argument is a table, a picture or where one goes (or a number, which
    # no list could offer).
    _tolmere_cli_paths
}
complete -F _tolmere_cli tolmere-cli
