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
# Explorer (VELMOR_GUI_RUN_LINE), velmor gets a console window of its own
# on a virtual display (Xvfb), as on Windows. The window shows the line and
# a prompt (read by VELMOR_CONSOLE_TEXT) and waits, holding no file open,
# for a key pressed in it (xdotool): not a modifier alone; Ctrl+C and
# Ctrl+Break end it with the run's own status. Started by a program of
# another name, or with no console input, it ends with the same status
# without a key; with its output to a file, it writes the same bytes too.
# readme-loop: the cmd loops of the Windows README, typed and as a batch
# file, show each image's line after its name in a console window, with
# velmor on the PATH only by the README's line; the batch file's list,
# saved, is in the code pages doc/windows.md gives.
set -u
check=$1; shift
run=("$@")
dir=$(mktemp -d)
trap 'tmux -L "velmor-$$" kill-server 2>/dev/null; rm -rf "$dir"' EXIT
cd "$dir" || exit 1
# shows_line REGEX: waits up to a minute for this check's tmux pane to show
# a line that matches; what the pane shows is left in $screen.
shows_line() {
    for _ in $(seq 240); do
        screen=$(tmux -L "velmor-$$" capture-pane -p)
        grep -q "$1" <<<"$screen" && return 0
        sleep 0.25
    done
    return 1
}
# jpeg72 FILE: a JPEG whose JFIF header gives 72 dots per inch.
jpeg72() { printf '\xff\xd8\xff\xe0\x00\x10JFIF\x00\x01\x02\x01\x00\x48\x00\x48\x00\x00\xff\xdb\x00\x43\x00\x08\x06\x06\x07\x06\x05\x08' >"$1"; }

case $check in
console)
    command -v tmux >/dev/null || { echo "needs tmux"; exit 1; }
    printf -v cmd '%q ' "${run[@]}"
    export LC_ALL=C.UTF-8
    tmux -L "velmor-$$" -f /dev/null new-session -d -x 150 -y 10 \
        "$cmd Ω.jpg; echo status \$?; sleep 60"
    shows_line '^status'
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
    for tool in Xvfb xdotool; do
        command -v $tool >/dev/null || { echo "needs $tool (Debian's xvfb and xdotool)"; exit 1; }
    done
    export LC_ALL=C.UTF-8
    cp "${VELMOR_GUI_RUN_LINE:?}" explorer.exe && cp "$VELMOR_GUI_RUN_LINE" other.exe
    jpeg72 a.jpg && head -c 29 a.jpg >short.jpg
    printf 'x= 72 DPI, y= 72 DPI\r\n' >want
    program=Z:$(realpath "${run[-1]}") && program=${program//\//\\}
    # A display of its own, where Wine opens the console window that
    # Windows gives a console program started by a GUI program.
    Xvfb -displayfd 3 -nolisten tcp -screen 0 800x600x24 3>display >/dev/null 2>&1 &
    xvfb=$!
    trap 'kill $xvfb; rm -rf "$dir"' EXIT
    for _ in $(seq 100); do [ -s display ] && break; sleep 0.1; done
    export DISPLAY=:$(cat display)
    # And a Wine server of its own, on a copy of the prefix (its files
    # linked, the registry copied), so that Wine's desktop, which holds the
    # display its server first started with, starts on this one: the
    # suite's server started without a display, and other tests' programs
    # may start a desktop there at any time.
    prefix=$(printf '%s\n' "${run[@]}" | sed -n 's/^WINEPREFIX=//p')
    cp -al "$prefix" wine && rm wine/*.reg && cp "$prefix"/*.reg wine/ ||
        { echo "cannot copy the prefix $prefix"; exit 1; }
    export WINEPREFIX=$dir/wine
    wine=("${run[@]:0:${#run[@]}-2}" "WINEPREFIX=$WINEPREFIX" "${run[-2]}")
    trap 'wineserver -k; kill $xvfb; rm -rf "$dir"' EXIT
    # from PARENT [SWITCH] FILE: "velmor FILE" started by PARENT (run-line's
    # switch), in the background; its status arrives in the file status.
    from() {
        rm -f status
        ("${wine[@]}" "$dir/$1" "${@:2:$#-2}" "$program" "velmor ${*: -1}" </dev/null >out 2>/dev/null
            echo $? >status) &
    }
    # ended SECONDS: whether the run has ended within that time.
    ended() { for _ in $(seq $(($1 * 4))); do [ -s status ] && return 0; sleep 0.25; done; return 1; }
    # shows TEXT: the lines velmor's console window shows, once the prompt
    # is among them, are TEXT and the prompt.
    shows() {
        local screen=""
        # The window first: a program run while Wine's desktop moves to the
        # display (at the first window) can take the console from velmor.
        for _ in $(seq 120); do xdotool search --name 'velmor\.exe$' >/dev/null && break; sleep 0.5; done
        for _ in $(seq 60); do
            screen=$("${wine[@]}" "${VELMOR_CONSOLE_TEXT:?}" velmor.exe 2>/dev/null)
            grep -q 'Press any key' <<<"$screen" && break
            sleep 0.5
        done
        echo "window: ${screen//$'\n'/ | }"
        [ "$screen" = "$1"$'\nPress any key to close this window.' ] || { echo "want: $1 | the prompt"; fail=1; }
    }
    # press KEY...: the keys, one at a time, in velmor's window, through
    # the X server as a keyboard's (xdotool's key chained to a window would
    # send them to it as synthetic events, which Wine reads otherwise).
    press() {
        local w k
        w=$(xdotool search --name 'velmor\.exe$' | tail -1)
        for k in "$@"; do xdotool windowfocus --sync "$w" 2>/dev/null && xdotool key "$k"; done
    }
    # status WANT: the run ended with that status.
    status() { ended 60 && [ "$(cat status)" = "$1" ] || { echo "want status $1, got $(cat status 2>/dev/null)"; fail=1; }; }
    fail=0
    from explorer.exe a.jpg
    shows 'x= 72 DPI, y= 72 DPI'
    press shift ctrl alt super Caps_Lock Caps_Lock
    ! ended 2 || { echo "a modifier alone ended the wait"; fail=1; }
    press x
    status 0
    # While the window waits, velmor holds no file open: no process of
    # Wine has a descriptor of it.
    from explorer.exe short.jpg
    shows "Can't read file: short.jpg"
    if find /proc/[0-9]*/fd -lname "$dir/short.jpg" 2>/dev/null | grep -q .; then
        echo "short.jpg held open during the wait"; fail=1
    fi
    press ctrl+c
    status 1
    from explorer.exe missing.jpg
    shows 'File missing.jpg - not found.'
    press ctrl+Break
    status 1
    # Nothing waits for another parent, for output to a file, or where no
    # key can come.
    from other.exe a.jpg
    status 0
    from explorer.exe --std a.jpg
    status 0
    cmp out want || { echo "other bytes to a file"; fail=1; }
    from explorer.exe --no-input a.jpg
    status 0
    exit $fail
    ;;
readme-loop)
    # The cmd loops of the Windows README as users meet them, in a console
    # window (a pane of tmux) with velmor in a folder named with a space
    # and on no PATH: the batch file with the README's line that sets the
    # PATH, then that line and the loop typed at cmd's prompt. Over images
    # in any letter case and of names with cmd's special characters, a
    # percent sign or other alphabets, beside a text file, a folder named
    # like an image and the batch file, the window must show each image's
    # line after its name, and nothing else. Wine gives every name a short
    # (8.3) one, as Windows does on FAT32 and often on NTFS, which cmd's *.jpg
    # matches too: the batch file skips photo.jpg_old, whose short name ends
    # in .JPG, and the typed loop shows velmor's refusal of it (as the
    # README says, and doc/windows.md in full). Saved to a file, the names
    # are in the window's code page and velmor's lines in UTF-8, all of it
    # UTF-8 after chcp 65001.
    command -v tmux >/dev/null || { echo "needs tmux"; exit 1; }
    readme=$(dirname "$0")/../doc/windows-readme.txt
    # block LABEL: the lines after the README's label, up to an empty one.
    block() { sed -n "/^    $1/,/^\$/{/^    $1/d;/^\$/d;s/^    //;p}" "$readme"; }
    typed=$(block 'cmd:$') batch=$(block 'A batch file') path=$(block 'cmd and batch file:')
    [ -n "$typed" ] && [ -n "$batch" ] && [ -n "$path" ] || { echo "no cmd loop in doc/windows-readme.txt"; exit 1; }
    mkdir -p "Program Files/velmor" images && cp "${run[-1]}" "Program Files/velmor/velmor.exe"
    folder=Z:$dir/Program\ Files/velmor && path=${path//C:\\Tools\\velmor/${folder//\//\\}}
    examples=$(dirname "$0")/../examples
    want=""
    for name in DSC0001.JPG 'a b.jpg' 'x&y(1)^!,;=z.jpeg' '100%.jpg' '%PATH%.jpg' '%OS%x%.jpg' Ωμέγα.jpg b.BMP café.bmp; do
        case $name in
        *.[bB][mM][pP]) cp "$examples/sample.bmp" "images/$name" && want+="$name: x= 96 DPI, y= 96 DPI"$'\n' ;;
        *) cp "$examples/sample.jpg" "images/$name" && want+="$name: x= 300 DPI, y= 300 DPI"$'\n' ;;
        esac
    done
    head -c 29 "$examples/sample.jpg" >images/Ωshort.jpg && want+="Ωshort.jpg: Can't read file: Ωshort.jpg"$'\n'
    : >images/notes.txt && mkdir images/dir.jpg && cp "$examples/sample.jpg" images/photo.jpg_old
    # The batch file as saved, the PATH's line after setlocal.
    sed "/^setlocal\$/a\\
${path//\\/\\\\}
s/\$/\r/" <<<"$batch" >images/dpi.bat
    wine=("${run[@]:0:${#run[@]}-1}")
    printf -v cmd '%q ' "${wine[@]}"
    export LC_ALL=C.UTF-8
    tmux -L "velmor-$$" -f /dev/null new-session -d -x 250 -y 40 -c "$dir/images" "$cmd cmd; sleep 60"
    # Keys pressed before cmd's first prompt are lost.
    shows_line '^Z:.*>$'
    # window KEYS...: the lines typed, each ended with Enter, then what
    # they printed as the window shows it, less cmd's prompts.
    window() {
        local line screen=""
        tmux -L "velmor-$$" send-keys cls Enter
        for line in "$@" 'echo velmor-done'; do tmux -L "velmor-$$" send-keys -l "$line" && tmux -L "velmor-$$" send-keys Enter; done
        shows_line '^velmor-done$'
        grep -v -e '^Z:.*>' -e '^velmor-done$' -e '^$' <<<"$screen" | LC_ALL=C sort
    }
    sorted=$(LC_ALL=C sort <<<"${want%$'\n'}")
    out=$(window dpi.bat)
    tr -d '\r' <images/dpi.bat; echo "$out"
    fail=0
    [ "$out" = "$sorted" ] || { echo "the batch file printed other lines"; fail=1; }
    # Typed, Wine's cmd expands a name's %...% again (Windows' does not),
    # and takes "do @(" for other than it is: no name with a percent sign,
    # and the @, which only keeps cmd from echoing the loop's commands.
    rm images/*%*
    sorted=$(grep -v % <<<"$sorted")
    out=$(window "$path" "${typed/do @(/do (}")
    echo "$path"; echo "$typed"; echo "$out"
    refused='photo.jpg_old: File: photo.jpg_old - must end in .jpg, .jpeg or .bmp'
    [ "$out" = "$(LC_ALL=C sort <<<"$sorted"$'\n'"$refused")" ] || { echo "the typed loop printed other lines"; fail=1; }
    window 'chcp 437' 'dpi.bat > cp437.txt' 'chcp 65001' 'dpi.bat > utf8.txt' >/dev/null
    [ "$(tr -d '\r' <images/utf8.txt | LC_ALL=C sort)" = "$sorted" ] || { echo "after chcp 65001, the saved list is not the window's lines"; fail=1; }
    for line in $'caf\x82.bmp: x= 96 DPI, y= 96 DPI\r' $'\xeashort.jpg: Can\'t read file: Ωshort.jpg\r'; do
        grep -aqxF "$line" images/cp437.txt || { echo "at code page 437, the saved list has no line $(printf %s "$line" | xxd -p -c 256)"; fail=1; }
    done
    exit $fail
    ;;
*)
    echo "usage: $0 console|open-form|explorer|readme-loop EMULATOR... PROGRAM.exe"; exit 2
    ;;
esac
