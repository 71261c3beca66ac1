# SPDX-License-Identifier: MIT
# bash completion for mpq2k                                -*- shell-script -*-
# Installed as share/bash-completion/completions/mpq2k; needs nothing from
# bash-completion itself.

_mpq2k() {
    local cur=${COMP_WORDS[COMP_CWORD]}
    COMPREPLY=()
    if ((COMP_CWORD == 1)); then
        mapfile -t COMPREPLY < <(compgen -W "e a s l --help --version" -- "$cur")
        return
    fi
    # Which operand of the command is being typed, from 1.
    local operand=$((COMP_CWORD - 1)) kind=
    case ${COMP_WORDS[1]} in
    e) case $operand in 1) kind=archive ;; 3) kind=folder ;; esac ;;
    # a ARCHIVE FILE NAME [FILE NAME]...: files at the even places, names inside the
    # archive (nothing to offer) at the odd ones.
    a) if ((operand == 1)); then kind=archive; elif ((operand % 2 == 0)); then kind=file; fi ;;
    s) ((operand == 1)) && kind=file ;;
    l) ((operand == 1)) && kind=archive ;;
    esac
    compopt -o filenames 2>/dev/null
    case $kind in
    archive)
        # Archives and the folders they may be in; the tool matches names without case.
        mapfile -t COMPREPLY < <(compgen -d -- "$cur"
            compgen -f -X '!*.[mM][pP][qQ]' -- "$cur")
        ;;
    folder) mapfile -t COMPREPLY < <(compgen -d -- "$cur") ;;
    file) mapfile -t COMPREPLY < <(compgen -f -- "$cur") ;;
    esac
}
complete -F _mpq2k mpq2k
