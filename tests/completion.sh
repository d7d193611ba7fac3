#!/usr/bin/env bash
# The bash completion, as bash-completion runs it: after "velmor " it offers
# the folders and the files ending in .jpg, .jpeg or .bmp in any case,
# nothing else, and after one name nothing at all.
#   completion.sh COMPLETION_FILE
set -u
src=$(realpath "$1")
lib=${BASH_COMPLETION:-/usr/share/bash-completion/bash_completion}
[ -r "$lib" ] || { echo "skipped: bash-completion is not installed"; exit 77; }
dir=$(mktemp -d) && trap 'rm -rf "$dir"' EXIT && cd "$dir" || exit 1

# Loaded on demand, by the command's name, as for an installed file.
mkdir -p comp/completions && cp "$src" comp/completions/velmor || exit 1
export BASH_COMPLETION_USER_DIR=$dir/comp
# shellcheck source=/dev/null
. "$lib"
__load_completion velmor && [ "$(complete -p velmor)" = "complete -F _velmor velmor" ] ||
    { echo "velmor's completion was not loaded"; exit 1; }
rm -r comp
mkdir sub 'two words' .hidden
touch a.jpg B.JPEG c.Bmp d.jPeG 'e f.bmp' g.png h.txt i.jpg.txt jpg .bmp sub/j.jpg sub/k.gif

# Offers for a command line whose cursor is at its end.
offers() {
    local COMP_LINE=$1 COMP_POINT=${#1} COMP_WORDS COMP_CWORD COMPREPLY=()
    read -ra COMP_WORDS <<<"$1"
    [[ $1 == *' ' ]] && COMP_WORDS+=('')
    COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
    _velmor velmor "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD - 1]}"
    printf '%s\n' "${COMPREPLY[@]}" | sort | paste -sd '|'
}

fail=0
check() {
    local got; got=$(offers "$1")
    if [ "$got" = "$2" ]; then echo "ok: '$1'"; else echo "'$1': got '$got', want '$2'"; fail=1; fi
}
# Hidden names come too, as bash's match-hidden-files does by default.
check 'velmor '          '.bmp|.hidden|B.JPEG|a.jpg|c.Bmp|d.jPeG|e f.bmp|sub|two words'
check 'velmor d'         'd.jPeG'
check 'velmor sub/'      'sub/j.jpg'
check 'velmor .b'        '.bmp'
check 'velmor g'         ''
check 'velmor a.jpg '    ''
exit $fail
