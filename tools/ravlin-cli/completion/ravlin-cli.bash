# bash completion for ravlin-cli: commands, each command's options and values, files for FILE
# arguments and the machine's MIDI port names (from "ravlin-cli ports") for --in and --out.
# Source it from ~/.bashrc, or install it as /usr/share/bash-completion/completions/ravlin-cli.

# The names under "Inputs:" (in) or "Outputs:" (out) of "ravlin-cli ports", one a line.
_ravlin_cli_ports()
{
    local tool=$1 heading=$2 line section=
    while IFS= read -r line; do
        case $line in
            Inputs:) section=Inputs: ;;
            Outputs:) section=Outputs: ;;
            "  "*) [[ $section == "$heading" ]] && printf '%s\n' "${line#  }" ;;
            *) section= ;;
        esac
    done < <("$tool" ports 2>/dev/null)
}

_ravlin_cli()
{
    local cur=${COMP_WORDS[COMP_CWORD]} prev=
    ((COMP_CWORD > 0)) && prev=${COMP_WORDS[COMP_CWORD - 1]}
    local tool=${COMP_WORDS[0]:-ravlin-cli}
    local command=${COMP_WORDS[1]}
    local IFS=$'\n'
    COMPREPLY=()

    if ((COMP_CWORD == 1)); then
        COMPREPLY=($(compgen -W $'list\nshow\nparams\nports\nfirst-run\nreceive\ntransmit\nconvert\ndiff\nfind\n--help\n--version' -- "$cur"))
        return 0
    fi

    # The value of the option before.
    local values=
    case $prev in
        --in | --out)
            local heading=Inputs: name
            [[ $prev == --out ]] && heading=Outputs:
            # Port names hold spaces: each is offered quoted for the shell as one word.
            local typed=${cur//\\/}
            typed=${typed#[\"\']}
            while IFS= read -r name; do
                [[ $name == "$typed"* ]] && COMPREPLY+=("$(printf '%q' "$name")")
            done < <(_ravlin_cli_ports "$tool" "$heading")
            return 0
            ;;
        --banks) values=$'user\nfactory\nall\n1\n2\n3\n4\n5\n6\n7\n8' ;;
        --to-bank | --bank) values=$'1\n2\n3\n4\n5\n6\n7\n8' ;;
        --model)
            values=$'module\nkeyboard'
            [[ $command == convert ]] || values+=$'\ndetect'
            ;;
        --wire) values=$'din\nusb\nnone' ;;
        --timeout | --program) return 0 ;;
    esac
    if [[ -n $values ]]; then
        COMPREPLY=($(compgen -W "$values" -- "$cur"))
        return 0
    fi

    local options=
    case $command in
        list | show | params | diff | find) options=$'--json\n--help' ;;
        ports) options=$'--detect\n--json\n--help' ;;
        first-run) options=--help ;;
        receive) options=$'--in\n--out\n--banks\n--model\n--wire\n--timeout\n--help' ;;
        transmit) options=$'--in\n--out\n--to-bank\n--yes\n--verify\n--model\n--wire\n--timeout\n--help' ;;
        convert) options=$'--bank\n--program\n--model\n--help' ;;
        *) return 0 ;;
    esac
    if [[ $cur == -* ]]; then
        COMPREPLY=($(compgen -W "$options" -- "$cur"))
        return 0
    fi
    # find takes its FILE first, then the query: no file names for the query.
    if [[ $command == find ]]; then
        local words=0 i
        for ((i = 2; i < COMP_CWORD; ++i)); do
            [[ ${COMP_WORDS[i]} == -* ]] || ((++words))
        done
        ((words > 0)) && return 0
        compopt -o filenames 2>/dev/null
        COMPREPLY=($(compgen -f -- "$cur"))
        return 0
    fi
    case $command in
        list | show | receive | transmit | convert | diff)
            compopt -o filenames 2>/dev/null
            COMPREPLY=($(compgen -f -- "$cur"))
            ;;
    esac
    return 0
}

complete -F _ravlin_cli ravlin-cli
