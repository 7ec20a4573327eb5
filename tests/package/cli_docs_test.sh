#!/usr/bin/env bash
# The manual page and the bash completion of rendaro-cli against the
# program's own --help: every command, subcommand and option it lists must be
# in both. Then the completion itself, as bash runs it: commands, options,
# subcommands, and file names by extension.
#   cli_docs_test.sh RENDARO_CLI MANPAGE COMPLETION
set -euo pipefail
cli=$1 man=$2 completion=$3
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# The manual's text with troff's escapes of '-' and its font changes removed.
man_text=$(sed -e 's/\\-/-/g' -e 's/\\f[BIRP]//g' "$man")
commands=$("$cli" --help | sed -n 's/^  rendaro-cli \([a-z-]*\).*/\1/p' | sort -u)
[ -n "$commands" ] || fail "no commands found in rendaro-cli --help"
for command in $commands; do
    grep -qE -- "^\.(B|BI|BR) \"?$command\b" <<<"$man_text" || fail "$command: no entry in the manual page"
    grep -qE -- "^ *local commands=.*\b$command\b" "$completion" || fail "$command: not completed"
    usage=$("$cli" "$command" --help)
    # Options (--name, -o) and the alternatives of a subcommand (a|b|c).
    words=$( (grep -oE -- '(^|[[ ])(--[a-z][a-z-]*|-o)\b' <<<"$usage" || true) | tr -d '[ ' | sort -u)
    words+=" "$( (grep -oE -- "rendaro-cli $command [a-z-]+(\|[a-z-]+)+" <<<"$usage" || true) | cut -d' ' -f3 |
                 tr '|' '\n' | sort -u)
    for word in $words; do
        grep -qF -- "$word" <<<"$man_text" || fail "$command: $word missing from the manual page"
        if [[ $word == -* ]]; then
            # In the options offered for this command.
            grep -qE -- "^ *([a-z-]+ \| )*$command( \| [a-z-]+)*\) options=\"([^\"]* )?$word[ \"]" "$completion" ||
                fail "$command: $word not completed"
        else
            grep -qE -- "(^|[ \"(|])$word([ \")|]|$)" "$completion" || fail "$command: $word not completed"
        fi
    done
done

# The completion as bash runs it.
source /usr/share/bash-completion/bash_completion
source "$completion"
complete_line() {  # words of the line, the last being completed
    COMP_WORDS=("$@")
    COMP_CWORD=$(($# - 1))
    COMP_LINE="$*"
    COMP_POINT=${#COMP_LINE}
    COMPREPLY=()
    _rendaro_cli rendaro-cli "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD - 1]}" 2>/dev/null || true
    printf '%s\n' "${COMPREPLY[@]}" | sort | tr '\n' ' '
}
expect() {  # expected, words...
    local expected=$1
    shift
    local got
    got=$(complete_line "$@")
    [ "$got" = "$expected" ] || fail "completing '$*': got '$got', expected '$expected'"
}
folder=$(mktemp -d)
trap 'rm -rf "$folder"' EXIT
cd "$folder"
mkdir sub
touch a.xml b.txt c.exe d.dll e.h t.json f.xlf g.po m.tmx
expect "pack " rendaro-cli pa
expect "--json " rendaro-cli check --j
expect "--spelling " rendaro-cli check --sp
expect "--show-ignored " rendaro-cli check --sh
expect "warning " rendaro-cli check a.xml --fail-on w
expect "case,urls " rendaro-cli check --checks case,ur
expect "case,untranslated-term " rendaro-cli check --checks case,un
expect "double-space doubled-word " rendaro-cli check --skip-checks dou
expect "a.xml sub " rendaro-cli check --checks case ""
expect "de_DE " rendaro-cli check a.xml --spelling --dictionary de_D
expect "a.xml sub " rendaro-cli check --dictionary de_DE ""
expect "add-strings " rendaro-cli pack add
expect "js " rendaro-cli export j
expect "a.xml sub " rendaro-cli dump ""
expect "c.exe d.dll sub " rendaro-cli extract ""
expect "e.h sub " rendaro-cli extract c.exe ""
expect "sub " rendaro-cli pack combine --branch ""
expect "sub t.json " rendaro-cli pack list --projects ""
expect "import " rendaro-cli xliff im
expect "a.xml m.tmx sub " rendaro-cli suggest a.xml --tm ""
expect "export " rendaro-cli tmx ex
expect "a.xml sub " rendaro-cli tmx export ""
expect "a.xml sub " rendaro-cli merge a.xml ""
expect "--global " rendaro-cli git-setup --g
expect "--lines " rendaro-cli dump --l
expect "f.xlf sub " rendaro-cli xliff import a.xml ""
expect "g.po sub " rendaro-cli po import --target-language de a.xml ""

[ $failures -eq 0 ] || { echo "$failures failures"; exit 1; }
echo "manual page and completion ok"
