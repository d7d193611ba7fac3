#!/usr/bin/env bash
# Checks of the Windows program that its output to a file cannot show, run
# under Wine with its emulator command:
#   wine-checks.sh console EMULATOR... PROGRAM.exe
#   wine-checks.sh open-form EMULATOR... PROGRAM.exe
#   wine-checks.sh explorer EMULATOR... PROGRAM.exe
#   wine-checks.sh readme-loop EMULATOR... PROGRAM.exe
# console: on a console (a pseudo-terminal, in tmux) an error line that
# echoes a Greek name shows it as typed; UTF-8 bytes would be decoded with
# the console's code page instead.
# open-form: the form in which a name reaches CreateFileW, which Wine's
# answer alone cannot tell: a relative name as its absolute form, so that
# Windows does not resolve it again through the current folder's handle; a
# name longer than MAX_PATH behind \\?\, which Windows opens without an
# administrator's LongPathsEnabled (Wine has no such limit).
# explorer: started by a GUI program named explorer.exe, which stands for
# Explorer (VELMOR_GUI_RUN_LINE; under Wine it shares the terminal's
# console with the program it starts), velmor says on the screen that it
# waits for a key, and ends only once one is pressed. Started by one of
# another name, with its output to a pipe, or with no console input, it
# writes the same bytes, ends with the same status, and does not wait.
# readme-loop: the cmd loop of the Windows README prints one line per image.
set -u
check=$1; shift
run=("$@")
dir=$(mktemp -d)
trap 'tmux -L "velmor-$$" kill-server 2>/dev/null; rm -rf "$dir"' EXIT
cd "$dir" || exit 1
# jpeg72 FILE: a JPEG whose JFIF header gives 72 dots per inch.
jpeg72() { printf '\xff\xd8\xff\xe0\x00\x10JFIF\x00\x01\x02\x01\x00\x48\x00\x48\x00\x00\xff\xdb\x00\x43\x00\x08\x06\x06\x07\x06\x05\x08' >"$1"; }

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
        jpeg72 "$name"
        out=$("${traced[@]}" "$name" 2>"$dir/trace")
        # Wine's trace shows the name escaped, and cut after a while.
        opened=$(grep -ao 'CreateFileW L"[^"]*' "$dir/trace" | grep -E 'a\.jpg|aaaaaaaaaa' | tail -1)
        echo "${#name} characters: $out; ${opened:0:40}..."
        [ "$out" = $'x= 72 DPI, y= 72 DPI\r' ] || fail=1
        grep -qF "CreateFileW L\"$want" <<<"$opened" || { echo "not opened as $want..."; fail=1; }
    done
    exit $fail
    ;;
explorer)
    command -v tmux >/dev/null || { echo "needs tmux"; exit 1; }
    export LC_ALL=C.UTF-8
    cp "${VELMOR_GUI_RUN_LINE:?}" explorer.exe && cp "$VELMOR_GUI_RUN_LINE" other.exe
    jpeg72 a.jpg
    printf 'x= 72 DPI, y= 72 DPI\r\n' >want
    program=$(realpath "${run[-1]}")
    # by PARENT: the command that runs "velmor a.jpg" from the parent named.
    by() { printf '%q ' "${run[@]:0:${#run[@]}-1}" "$dir/$1" "Z:${program//\//\\}" "velmor a.jpg"; }
    cat >session <<SESSION
$(by explorer.exe); echo "status \$?"
$(by other.exe); echo "status \$?"
$(by explorer.exe) | cmp - want && echo "piped: same bytes"; echo "status \${PIPESTATUS[0]}"
$(by explorer.exe) </dev/null; echo "status \$?"
echo finished
SESSION
    tmux -L "velmor-$$" -f /dev/null new-session -d -x 150 -y 20 "bash $dir/session; sleep 60"
    screen() { tmux -L "velmor-$$" capture-pane -p; }
    shown() {
        for _ in $(seq 80); do grep -q "$1" <<<"$(screen)" && return 0; sleep 0.25; done
        return 1
    }
    fail=0
    shown 'Press any key' || { echo "no prompt from a program started by explorer.exe"; fail=1; }
    sleep 2
    ! grep -q 'status' <<<"$(screen)" || { echo "ended without a key"; fail=1; }
    # A key until the first run has ended (one may come before Wine reads
    # the console).
    for _ in $(seq 20); do
        grep -q 'status' <<<"$(screen)" && break
        tmux -L "velmor-$$" send-keys x
        sleep 1
    done
    shown '^finished' || echo "the session did not finish"
    got=$(screen)
    echo "$got" | sed '/^$/d'
    [ "$(grep -c 'status 0' <<<"$got")" = 4 ] || { echo "want status 0 four times"; fail=1; }
    [ "$(grep -c 'Press any key' <<<"$got")" = 1 ] || { echo "want the prompt once"; fail=1; }
    [ "$(grep -c '^x= 72 DPI, y= 72 DPI' <<<"$got")" = 3 ] || { echo "want the line three times"; fail=1; }
    grep -q '^piped: same bytes' <<<"$got" || { echo "other bytes to a pipe"; fail=1; }
    exit $fail
    ;;
readme-loop)
    # The line as the README gives it, run by cmd.exe in a folder with
    # two images, a file of another kind and velmor.exe.
    loop=$(sed -n 's/^ *cmd: *\(for %f in .*\)$/\1/p' "$(dirname "$0")/../doc/windows-readme.txt")
    [ -n "$loop" ] || { echo "no cmd loop in doc/windows-readme.txt"; exit 1; }
    cp "${run[-1]}" velmor.exe
    jpeg72 a.jpg
    printf 'BM\x46\0\0\0\0\0\0\0\x36\0\0\0\x28\0\0\0\x02\0\0\0\x02\0\0\0\x01\0\x18\0\0\0\0\0\x10\0\0\0\xc4\x0e\0\0\xc4\x0e\0\0\0\0\0\0\0\0\0\0' >b.bmp
    : >notes.txt
    # Typed at cmd's prompt (its input), as a user does: on a command line
    # of its own Wine would escape the quotes in it. Echo off; cmd's
    # banner comes first.
    out=$(printf '%s\r\n' "$loop" | "${run[@]:0:${#run[@]}-1}" cmd /q | tail -n +2)
    echo "$loop"; echo "$out"
    [ "$out" = $'x= 72 DPI, y= 72 DPI\r\nx= 96 DPI, y= 96 DPI\r' ]
    ;;
*)
    echo "usage: $0 console|open-form|explorer|readme-loop EMULATOR... PROGRAM.exe"; exit 2
    ;;
esac
