# bash completion for klxr-log-cli. The commands, options, subcommands and survey ids come from
# the tool itself ("klxr-log-cli --complete ..."), so that this file never lists them twice.
# shellcheck disable=SC2207 # IFS is a newline here: the candidates are split one a line

# Offers the .tlg files and the folders that start with the current word.
_klxr_log_cli_logs() {
    local IFS=$'\n'
    COMPREPLY+=($(compgen -d -- "$cur") $(compgen -f -X '!*.[tT][lL][gG]' -- "$cur"))
}

_klxr_log_cli_ids() {
    local IFS=$'\n'
    COMPREPLY+=($(compgen -W "$("$tool" --complete ids 2>/dev/null)" -- "$cur"))
}

# Offers what the option's value stands for, as the tool's usage line names it.
_klxr_log_cli_value() {
    local option=$1 value=$2 IFS=$'\n'
    case $option:$value in
        --compare:*) _klxr_log_cli_logs; _klxr_log_cli_ids ;;
        *:*.tlg | *:*.TLG) _klxr_log_cli_logs ;;
        *:*.csv | *:OUT*) COMPREPLY+=($(compgen -f -- "$cur")) ;;
        *:*'|'*) [[ $value == *[A-Z]* ]] ||
            COMPREPLY+=($(compgen -W "${value//|/$'\n'}" -- "$cur")) ;;
    esac
}

_klxr_log_cli() {
    local cur=${COMP_WORDS[COMP_CWORD]} tool=${COMP_WORDS[0]}
    local IFS=$'\n'
    COMPREPLY=()
    local first=1
    [[ ${COMP_WORDS[1]} == --demo ]] && first=2
    if ((COMP_CWORD <= first)); then
        COMPREPLY=($(compgen -W "$("$tool" --complete commands 2>/dev/null)
$("$tool" --complete options 2>/dev/null)" -- "$cur"))
        return
    fi
    local command=${COMP_WORDS[first]} sub="" operands=0 i
    # The words typed since the command: its subcommand, and how many operands it has.
    local options subs
    subs=$("$tool" --complete subcommands "$command" 2>/dev/null)
    for ((i = first + 1; i < COMP_CWORD; i++)); do
        local word=${COMP_WORDS[i]}
        if [[ $word == -* ]]; then
            [[ $word == --team ]] && subs=$'show\nchannel'
            continue
        fi
        if [[ -z $sub && $'\n'$subs$'\n' == *$'\n'$word$'\n'* ]]; then
            sub=$word
        else
            ((operands++))
        fi
    done
    options=$("$tool" --complete options "$command" ${sub:+"$sub"} 2>/dev/null)
    local prev=${COMP_WORDS[COMP_CWORD - 1]} line
    for line in $options; do
        if [[ ${line%%$'\t'*} == "$prev" && $line == *$'\t'?* ]]; then
            _klxr_log_cli_value "$prev" "${line#*$'\t'}"
            return
        fi
    done
    if [[ $cur == -* ]]; then
        COMPREPLY=($(compgen -W "$(cut -f1 <<<"$options")" -- "$cur"))
        return
    fi
    case $command:$sub in
        help:*) ((operands == 0)) &&
            COMPREPLY=($(compgen -W "$("$tool" --complete commands 2>/dev/null)" -- "$cur")) ;;
        show:*) ((operands == 0)) && _klxr_log_cli_logs ;;
        export:* | report:*)
            if ((operands == 0)); then _klxr_log_cli_logs; else COMPREPLY=($(compgen -f -- "$cur")); fi ;;
        compare:*) _klxr_log_cli_logs; _klxr_log_cli_ids ;;
        history:import) _klxr_log_cli_logs ;;
        history:export)
            if ((operands == 0)); then _klxr_log_cli_ids; else COMPREPLY=($(compgen -f -- "$cur")); fi ;;
        history:show | history:label | history:forget) ((operands == 0)) && _klxr_log_cli_ids ;;
        history:push) _klxr_log_cli_ids ;;
        history:team) ((operands == 0)) &&
            COMPREPLY=($(compgen -W "$("$tool" --complete subcommands history team)" -- "$cur")) ;;
        history:) COMPREPLY=($(compgen -W "$subs" -- "$cur")) ;;
    esac
}

complete -F _klxr_log_cli -o filenames klxr-log-cli
