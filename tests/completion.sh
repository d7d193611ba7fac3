#!/usr/bin/env bash
# A shell's completion for velmor, loaded as that shell loads an installed
# one and asked as a user's Tab asks it: after "velmor " it offers the
# folders and the files ending in .jpg, .jpeg or .bmp in any case, nothing
# else, and after one name nothing at all.
#   completion.sh bash|zsh|fish COMPLETION_FILE
#   completion.sh zsh --installed
# --installed: the completion an install left where zsh looks by itself,
# in an interactive zsh with nothing but compinit.
# Where the shell (or bash-completion) is not installed, the test is
# skipped (exit 77).
set -u
shell=$1 src=
[ "$2" = --installed ] || src=$(realpath "$2")
lib=
case $shell in
bash) lib=${BASH_COMPLETION:-/usr/share/bash-completion/bash_completion}
      [ -r "$lib" ] || { echo "skipped: bash-completion is not installed"; exit 77; } ;;
*) command -v "$shell" >/dev/null || { echo "skipped: $shell is not installed"; exit 77; } ;;
esac
dir=$(mktemp -d) && trap 'rm -rf "$dir"' EXIT && cd "$dir" || exit 1
mkdir -p home bin comp/completions comp/zsh comp/fish/vendor_completions.d work
# fish loads the completion of a command it can find, so there is one.
printf '#!/bin/sh\n' >bin/velmor && chmod +x bin/velmor
cd work || exit 1
mkdir sub 'two words' .hidden
touch a.jpg B.JPEG c.Bmp d.jPeG 'e f.bmp' g.png h.txt i.jpg.txt jpg .bmp sub/j.jpg sub/k.gif

# offers LINE...: for each command line, what Tab at its end offers, one
# line each, sorted and joined by '|'.
offers() {
    case $shell in
    bash)
        # By the command's name, from bash-completion's user folder.
        cp "$src" ../comp/completions/velmor
        BASH_COMPLETION_USER_DIR=$dir/comp bash -c '
            . "$1"; shift
            __load_completion velmor && [ "$(complete -p velmor)" = "complete -F _velmor velmor" ] ||
                { echo "not loaded"; exit 1; }
            for line; do
                COMP_LINE=$line COMP_POINT=${#line} COMPREPLY=()
                read -ra COMP_WORDS <<<"$line"
                [[ $line == *" " ]] && COMP_WORDS+=("")
                COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
                _velmor velmor "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD - 1]}"
                printf "%s\n" "${COMPREPLY[@]}" | LC_ALL=C sort | paste -sd "|"
            done' - "$lib" "$@"
        ;;
    fish)
        # From a vendor_completions.d folder on XDG_DATA_DIRS, as a package
        # installs it.
        cp "$src" ../comp/fish/vendor_completions.d/velmor.fish
        for line; do
            HOME=$dir/home XDG_DATA_DIRS=$dir/comp:/usr/share PATH=$dir/bin:$PATH \
                fish -c 'complete -C $argv[1]' "$line" | LC_ALL=C sort | paste -sd '|'
        done
        ;;
    zsh)
        # From fpath, by compinit, in an interactive zsh on a pseudo-terminal
        # (zpty), where Tab runs the completion as typed and compadd prints
        # each match it adds (not the calls that only sort matches out:
        # -O, -A, -D). Tab then says it is done, and only then is the line
        # cleared: typed ahead, the rest could cut the completion short.
        comp=
        [ -z "$src" ] || { cp "$src" ../comp/zsh/_velmor && comp=$dir/comp/zsh; }
        cat >../ask.zsh <<'ZSH'
zmodload zsh/zpty || exit 1
zpty z zsh -f -i
zpty -w z "bindkey -e; PS1=; fpath=($1 \$fpath); autoload -Uz compinit; compinit -u -D"
zpty -w z 'compadd() { (( ${@[(I)-[ODA]]} )) || { local -a m; builtin compadd -O m "$@"; print -rl -- "<m>"${^m}; }; builtin compadd "$@"; }'
zpty -w z "tab() { zle complete-word; print -n '<done>'; }; zle -N tab; bindkey '^I' tab"
zpty -w z 'echo "<ready>"'
zpty -r z out '*<ready>*<ready>*'
for line in "${@:2}"; do
    zpty -w -n z "$line"$'\t'
    zpty -r z out '*<done>*'
    print -r -- ${out//$'\r'/$'\n'} | grep -ao '<m>[^<]*' | cut -c4- | LC_ALL=C sort -u | paste -sd '|'
    zpty -w -n z $'\C-u''echo "<end>"'$'\n'
    zpty -r z skip '*<end>*<end>*'
done
zpty -d z
ZSH
        HOME=$dir/home zsh -f ../ask.zsh "$comp" "$@"
        ;;
    esac
}

# What each shell offers (with its own conventions: bash lists hidden
# names, fish marks folders with a slash, zsh escapes blanks and lists a
# folder's files without the folder), for each line.
lines=('velmor '  'velmor d'  'velmor sub/'  'velmor .b'  'velmor g'  'velmor a.jpg ')
case $shell in
bash) want=('.bmp|.hidden|B.JPEG|a.jpg|c.Bmp|d.jPeG|e f.bmp|sub|two words' 'd.jPeG' 'sub/j.jpg' '.bmp' '' '') ;;
zsh)  want=('.bmp|B.JPEG|a.jpg|c.Bmp|d.jPeG|e\ f.bmp|sub|two\ words'       'd.jPeG' 'j.jpg'     '.bmp' '' '') ;;
fish) want=('B.JPEG|a.jpg|c.Bmp|d.jPeG|e f.bmp|sub/|two words/'            'd.jPeG' 'sub/j.jpg' '.bmp' '' '') ;;
*) echo "usage: $0 bash|zsh|fish COMPLETION_FILE"; exit 2 ;;
esac
mapfile -t got < <(offers "${lines[@]}")
fail=0
for i in "${!lines[@]}"; do
    if [ "${got[i]-missing}" = "${want[i]}" ]; then
        echo "ok: '${lines[i]}'"
    else
        echo "'${lines[i]}': got '${got[i]-nothing}', want '${want[i]}'"; fail=1
    fi
done
exit $fail
