# bash completion for lumiwandctl. The commands and options come from the tool's own help, so a new command
# completes without a change here.

# The option names (--name) of one help text's "Options:" section.
_lumiwandctl_options()
{
    sed -n '/^Options:/,/^$/s/^  \(-h, \)\{0,1\}\(--[a-z-]*\).*/\2/p'
}

# The value an option takes as its help shows it: "trim|stretch|aspect" lists the choices.
_lumiwandctl_choices()
{
    sed -n "s/^  $1 \([^ ]*|[^ ]*\) .*/\1/p" | tr '|' ' '
}

_lumiwandctl()
{
    local cur prev words cword
    _init_completion || return
    local tool=${words[0]} command= i
    for ((i = 1; i < cword; i++)); do
        case ${words[i]} in
            --edition) ((i++)) ;;
            -*) ;;
            *) command=${words[i]}; break ;;
        esac
    done
    case $prev in
        --edition) COMPREPLY=($(compgen -W '11 16 24 32 48' -- "$cur")); return ;;
        --type) COMPREPLY=($(compgen -W '1 3 4 6 7' -- "$cur")); return ;;
        --fit | --mode)
            COMPREPLY=($(compgen -W "$("$tool" "$command" --help 2>/dev/null | _lumiwandctl_choices "$prev")" -- "$cur"))
            return ;;
        --font | --size | --threshold | --crop | --name | --project) return ;;
    esac
    if [[ -z $command ]]; then
        if [[ $cur == -* ]]; then
            COMPREPLY=($(compgen -W "$("$tool" --help 2>/dev/null | _lumiwandctl_options)" -- "$cur"))
        else
            COMPREPLY=($(compgen -W "$("$tool" --help 2>/dev/null | sed -n '/^Commands:/,/^$/s/^  \([a-z-]*\).*/\1/p')" -- "$cur"))
        fi
    elif [[ $cur == -* ]]; then
        COMPREPLY=($(compgen -W "$("$tool" "$command" --help 2>/dev/null | _lumiwandctl_options)" -- "$cur"))
    else
        _filedir
    fi
}
complete -F _lumiwandctl lumiwandctl
