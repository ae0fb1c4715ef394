# bash completion for brevo-verify. Installed as
# /usr/share/bash-completion/completions/brevo-verify, where bash-completion finds it; it also
# works sourced alone, without bash-completion's helpers.

# _brevo_verify_files [PATTERN...]: for $cur, the files that match one of the patterns and
# the directories; without a pattern, every file.
_brevo_verify_files() {
    compopt -o filenames 2>/dev/null
    local IFS=$'\n' pattern
    if [ $# -eq 0 ]; then
        COMPREPLY+=($(compgen -f -- "$cur"))
        return
    fi
    for pattern in "$@"; do
        COMPREPLY+=($(compgen -f -X "!$pattern" -- "$cur"))
    done
    COMPREPLY+=($(compgen -d -- "$cur"))
}

_brevo_verify() {
    local cur="${COMP_WORDS[COMP_CWORD]}"
    local prev="${COMP_WORDS[COMP_CWORD - 1]}"
    # --option=value reaches here as three words: --option, = and value.
    if [ "$cur" = "=" ]; then
        cur=""
    elif [ "$prev" = "=" ] && [ "$COMP_CWORD" -ge 2 ]; then
        prev="${COMP_WORDS[COMP_CWORD - 2]}"
    fi
    COMPREPLY=()
    case "$prev" in
        --source-dir)
            compopt -o filenames 2>/dev/null
            local IFS=$'\n'
            COMPREPLY=($(compgen -d -- "$cur"))
            return
            ;;
        --format) COMPREPLY=($(compgen -W 'text rtf' -- "$cur")); return ;;
        --page-size) COMPREPLY=($(compgen -W 'a4 letter' -- "$cur")); return ;;
        --fail-on) COMPREPLY=($(compgen -W 'error alert warning never' -- "$cur")); return ;;
        --json | --sarif | --files-from) _brevo_verify_files; return ;;
        # A number, or a language name, which has spaces; nothing to offer.
        -j | --jobs | --target-language) return ;;
    esac
    if [[ "$cur" == -* ]]; then
        COMPREPLY=($(compgen -W '--source-dir --format --target-language --page-size
            --overwrite --jobs --json --sarif --fail-on --diagnostics --files-from --quiet
            --version --help' -- "$cur"))
        return
    fi
    # Translated BRX files: .txt or .rtf in any case, and directories on the way to them.
    _brevo_verify_files '*.[tT][xX][tT]' '*.[rR][tT][fF]'
}

complete -F _brevo_verify brevo-verify
