#!/usr/bin/env bash
# Checks of the Windows program that its output to a file cannot show, run
# under Wine with its emulator command:
#   wine-checks.sh console EMULATOR... PROGRAM.exe
#   wine-checks.sh open-form EMULATOR... PROGRAM.exe
# console: on a console (a pseudo-terminal, in tmux) an error line that
# echoes a Greek name shows it as typed; UTF-8 bytes would be decoded with
# the console's code page instead.
# open-form: the form in which a name reaches CreateFileW, which Wine's
# answer alone cannot tell: a relative name as its absolute form, so that
# Windows does not resolve it again through the current folder's handle; a
# name longer than MAX_PATH behind \\?\, which Windows opens without an
# administrator's LongPathsEnabled (Wine has no such limit).
set -u
check=$1; shift
run=("$@")
dir=$(mktemp -d)
trap 'tmux -L "velmor-$$" kill-server 2>/dev/null; rm -rf "$dir"' EXIT
cd "$dir" || exit 1

case $check in
console)
    command -v tmux >/dev/null || { echo "needs tmux"; exit 1; }
    printf -v cmd '%q ' "${run[@]}"
    export LC_ALL=C.UTF-8
    tmux -L "velmor-$$" -f /dev/null new-session -d -x 150 -y 10 \
        "$cmd Ω.jpg; echo status \$?; sleep 60"
    for _ in $(seq 100); do
        screen=$(tmux -L "velmor-$$" capture-pane -p)
        grep -q '^status' <<<"$screen" && break
        sleep 0.25
    done
    echo "$screen" | sed '/^$/d'
    grep -qFx 'File Ω.jpg - not found.' <<<"$screen" && grep -qx 'status 1' <<<"$screen"
    ;;
open-form)
    # The same emulator, Wine's trace of file calls on.
    traced=("${run[@]:0:${#run[@]}-2}" WINEDEBUG=trace+file "${run[@]: -2}")
    fail=0
    for depth in 0 3 30; do
        name=a.jpg want='Z:\\' # escaped, as the trace shows it
        if [ $depth != 0 ]; then
            name=$(printf "$(printf 'a%.0s' {1..99})/%.0s" $(seq $depth))a.jpg want='\\\\?\\'
        fi
        mkdir -p "$(dirname "$name")"
        printf '\xff\xd8\xff\xe0\x00\x10JFIF\x00\x01\x02\x01\x00\x48\x00\x48\x00\x00\xff\xdb\x00\x43\x00\x08\x06\x06\x07\x06\x05\x08' >"$name"
        out=$("${traced[@]}" "$name" 2>"$dir/trace")
        # Wine's trace shows the name escaped, and cut after a while.
        opened=$(grep -ao 'CreateFileW L"[^"]*' "$dir/trace" | grep -E 'a\.jpg|aaaaaaaaaa' | tail -1)
        echo "${#name} characters: $out; ${opened:0:40}..."
        [ "$out" = $'x= 72 DPI, y= 72 DPI\r' ] || fail=1
        grep -qF "CreateFileW L\"$want" <<<"$opened" || { echo "not opened as $want..."; fail=1; }
    done
    exit $fail
    ;;
*)
    echo "usage: $0 console|open-form EMULATOR... PROGRAM.exe"; exit 2
    ;;
esac
