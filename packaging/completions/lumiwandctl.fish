# fish completion for lumiwandctl. The commands and options come from the tool's own help, so a new command
# completes without a change here.

function __lumiwandctl_command
    set -l words (commandline -opc)
    set -e words[1]
    while set -q words[1]
        switch $words[1]
            case --edition
                set -e words[1]
            case '-*'
            case '*'
                echo $words[1]
                return
        end
        set -e words[1]
    end
end

function __lumiwandctl_commands
    lumiwandctl --help 2>/dev/null | sed -n '/^Commands:/,/^$/s/^  \([a-z-]*\)  *\(.*\)/\1\t\2/p'
end

function __lumiwandctl_options
    set -l command (__lumiwandctl_command)
    lumiwandctl $command --help 2>/dev/null | sed -n '/^Options:/,/^$/s/^  \(-h, \)\{0,1\}--\([a-z-]*\)[^ ]*\( [^ ]*\)\{0,1\}  *\(.*\)/--\2\t\4/p'
end

complete -c lumiwandctl -f
complete -c lumiwandctl -n 'not __lumiwandctl_command' -a '(__lumiwandctl_commands)'
complete -c lumiwandctl -n 'string match -q -- "-*" (commandline -ct)' -a '(__lumiwandctl_options)'
complete -c lumiwandctl -n '__lumiwandctl_command' -F
complete -c lumiwandctl -l edition -x -a '11 16 24 32 48'
complete -c lumiwandctl -l type -x -a '1 3 4 6 7'
complete -c lumiwandctl -l fit -x -a 'trim stretch aspect'
complete -c lumiwandctl -l mode -x -a 'text picture'
