# SPDX-License-Identifier: MIT
# bash completion for tolmere                              -*- shell-script -*-
# Installed as share/bash-completion/completions/tolmere; needs nothing from
# bash-completion itself.

_tolmere() {
    local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD - 1]}
    COMPREPLY=()
    case $prev in
    --game | --prefix)
        compopt -o filenames 2>/dev/null
        mapfile -t COMPREPLY < <(compgen -d -- "$cur")
        return
        ;;
    --help | -h | --version) return ;;
    esac
    mapfile -t COMPREPLY < <(compgen -W "--game --prefix --help --version" -- "$cur")
}
complete -F _tolmere tolmere
