#!/usr/bin/env bash
# Runs one row of the table in rows.sh against a built velmor.
#
#   run-row.sh [--windows] NAME [EMULATOR...] BINARY
#   run-row.sh --seeds DIR
#
# The row's setup runs in a fresh folder, then its command, with "velmor"
# standing for the binary (behind the emulator, if any). Standard output
# must match the row byte for byte and the status must match; every file
# the setup made must keep its bytes and modification time. With --windows
# lines must end in CR LF, and rows that need POSIX facilities are skipped
# (exit 77). With --seeds, every row's setup runs instead and the header
# blocks of the files it makes are saved as fuzzing seeds, DIR/jpg/ROW-FILE
# and DIR/bmp/ROW-FILE.
set -u

windows=0 seeds=
if [ "${1-}" = --windows ]; then windows=1; shift; fi
if [ "${1-}" = --seeds ]; then seeds=$(realpath -m "$2"); shift 2; fi
want_row=${1-}; shift
VELMOR=("$@")

velmor() { "${VELMOR[@]}" "$@"; }
# Runs velmor as an unprivileged user, for the permission rows: root, whom
# file modes do not stop, becomes nobody; anyone else already is one.
velmor_unprivileged() {
    if [ "$(id -u)" = 0 ]; then
        setpriv --reuid=65534 --regid=65534 --clear-groups "${VELMOR[@]}" "$@"
    else
        velmor "$@"
    fi
}

# Setup helpers. Hex strings are written as bytes.
bytes() { local f=$1; shift; local hex; hex=$(printf %s "$*" | tr -d ' '); printf "$(sed 's/../\\x&/g' <<<"$hex")" >>"$f"; }
# A JFIF header: units byte and the two densities, as hex; 30 bytes.
jfif() { bytes "$1" FFD8FFE00010 4A46494600 0102 "$2" "$3" "$4" 0000 FFDB00430008060607060508; }
# A bitmap header with a 40-byte info header: X and Y as stored (little-
# endian hex); 54 bytes.
bmp() { bytes "$1" 424D 46000000 00000000 36000000 28000000 02000000 02000000 0100 1800 00000000 10000000 "$2" "$3" 00000000 00000000; }
# Keeps the first n bytes of a file.
cut_to() { truncate -s "$2" "$1"; }
# n letters a.
long() { head -c "$1" /dev/zero | tr '\0' a; }
# Points the DOS device NAME of the Wine prefix at FILE, so that a program
# that opens the device reads the file instead. Elsewhere there are no DOS
# devices, and the device's name is an ordinary missing file, whatever
# WINEPREFIX the caller's environment holds.
device() { [ $windows = 0 ] || ln -sfn "$PWD/$2" "$WINEPREFIX/dosdevices/$1"; }
# Writes FILE as NAME into C:\Windows\FOLDER of the Wine prefix.
windows_file() { mkdir -p "$WINEPREFIX/drive_c/windows/$1" && cp "$3" "$WINEPREFIX/drive_c/windows/$1/$2"; }
# Makes the folder the share \\SERVER\SHARE of the Wine prefix.
share() { mkdir -p "$WINEPREFIX/dosdevices/unc/$1" && ln -sfn "$PWD" "$WINEPREFIX/dosdevices/unc/$1/$2"; }
# Puts a copy of the program in FOLDER, as velmor.exe.
copy_program() { mkdir -p "$1" && cp "${VELMOR[-1]}" "$1/velmor.exe"; }
# The folder and the program as Windows names them (Wine's drive Z: is /).
here() { printf 'Z:%s' "${PWD//\//\\}"; }
program() { local p; p=$(realpath "${VELMOR[-1]}"); printf 'Z:%s' "${p//\//\\}"; }
# The emulator that runs the program runs the tests' helpers too.
emulator() { "${VELMOR[@]:0:${#VELMOR[@]}-1}" "$@"; }
# Runs velmor (COMMAND-LINE, the program's path in Windows form standing for
# "velmor") while the tests' pipe-watch.exe serves \\.\pipe\NAME, which
# says whether any client connected.
pipe_watch() {
    local name=$1; shift
    emulator "${VELMOR_PIPE_WATCH:?}" "$name" "$(program)" "$@"
}
# Runs PROGRAM (a Windows path) by the exact command line LINE, as cmd.exe
# runs a line of a batch file.
run_line() { emulator "${VELMOR_RUN_LINE:?}" "$1" "$2"; }

# Snapshot of every regular file below the folder: size, modification
# time, and bytes (large sparse files, and files the user may not read, by
# size and time alone).
snapshot() {
    find . -type f -printf '%p %s %T@\n' | sort
    find . -type f -size -2M -readable -print0 | sort -z | xargs -0r md5sum
}

# Saves the header block of every file the row's setup makes. A setup that
# needs Windows stops early here; its folder goes all the same.
seed() {
    local name=$1 setup=$2 f kind size tmp
    tmp=$(mktemp -d)
    (
        cd "$tmp" && eval "$setup" >/dev/null 2>&1
        for f in *; do
            case ${f,,} in
            *.jpg | *.jpeg) kind=jpg size=30 ;;
            *.bmp) kind=bmp size=54 ;;
            *) continue ;;
            esac
            [ -f "$f" ] && [ "$(head -c $size "$f" | wc -c)" = $size ] || continue
            mkdir -p "$seeds/$kind"
            head -c $size "$f" >"$seeds/$kind/$name-${f//[^A-Za-z0-9.]/_}"
        done
    )
    rm -rf "$tmp"
}

found=0
row() {
    local name=$1 needs=$2 setup=$3 run=$4 expect=$5 status=$6
    if [ -n "$seeds" ]; then seed "$name" "$setup"; return 0; fi
    [ "$name" = "$want_row" ] || return 0
    found=1
    if [[ $needs = *posix ]] && [ $windows = 1 ]; then
        echo "skipped: needs POSIX facilities"; exit 77
    fi
    if [ "$needs" = windows ] && [ $windows = 0 ]; then
        echo "skipped: needs Windows"; exit 77
    fi
    local dir out; dir=$(mktemp -d) && out=$(mktemp) || exit 1
    trap 'rm -rf "$dir" "$out"' EXIT
    chmod 755 "$dir"
    cd "$dir" || exit 1
    eval "$setup" || { echo "setup failed"; exit 1; }
    local before; before=$(snapshot)
    eval "$run" >"$out"
    local got=$?
    local want; want=$(printf '%b' "$expect"; printf x); want=${want%x}
    [ $windows = 1 ] && want=${want//$'\n'/$'\r\n'}
    local fail=0
    if ! printf %s "$want" | cmp -s - "$out"; then
        echo "output differs:"; echo "--- want"; printf %s "$want" | od -c | head -20
        echo "--- got"; od -c "$out" | head -20; fail=1
    fi
    if [ "$got" != "$status" ]; then echo "status $got, want $status"; fail=1; fi
    if [ "$(snapshot)" != "$before" ]; then echo "a file was changed"; fail=1; fi
    [ $fail = 0 ] && echo "ok: $name"
    exit $fail
}

# The version comes from the build, which keeps it in one place.
USAGE="Velmor Ver ${VELMOR_VERSION:?}\nWritten by the velmor developers.\n\nUsage: velmor filename.{jpg|jpeg|bmp}\n"
# shellcheck source=rows.sh
. "$(dirname "$0")/rows.sh"
[ -n "$seeds" ] || [ $found = 1 ] || { echo "no row named $want_row"; exit 1; }
