#!/usr/bin/env bash
# Builds and tests this commit on the next Debian release, in a root of its
# own made with debootstrap in a plain folder: the README's two commands,
# then the windows64, windows and i686 suites. Needs root and Debian's
# mirror; takes about 8 minutes.
#   tests/next-debian.sh [SUITE]     SUITE: trixie unless named
# The root is removed at the end, however the run ends: first everything
# mounted into it is unmounted (a failure there keeps the root and says
# so), then the folder goes with rm --one-file-system, which never crosses
# into a mount that is still there, such as the machine's own /dev.
set -euo pipefail
suite=${1:-trixie}
repo=$(cd "$(dirname "$0")/.." && pwd)
# A handler registered outside would run the machine's qemu-i386 in the
# root, with the root's libraries.
if [ -e /proc/sys/fs/binfmt_misc/velmor-i386 ]; then
    echo "qemu-i386 is registered for this machine: bash tests/i386-handler.sh off, then again"
    exit 1
fi
root=$(mktemp -d "${TMPDIR:-/var/tmp}/velmor-$suite.XXXXXX")
# The root's / as a system's is, so that the rows run as nobody reach it.
chmod 755 "$root"
mounts=()
handler=off

finish() {
    local status=$? i kept=0
    trap - EXIT INT TERM HUP
    # What still runs in the root (a Wine server waits a minute for more
    # work, a test's Xvfb) holds its mounts: ended first.
    for signal in TERM KILL; do
        for p in /proc/[0-9]*; do
            [ "$(readlink "$p/root" 2>/dev/null)" != "$root" ] || kill -$signal "${p#/proc/}" 2>/dev/null
        done
        sleep 1
    done
    for ((i = ${#mounts[@]} - 1; i >= 0; i--)); do
        umount -R "${mounts[i]}" || { echo "still mounted: ${mounts[i]}"; kept=1; }
    done
    [ "$handler" = off ] || bash "$repo/tests/i386-handler.sh" off
    if [ $kept = 0 ]; then
        rm -rf --one-file-system "$root"
    else
        echo "kept $root: unmount what is listed above, then remove it"
    fi
    exit "$status"
}
trap finish EXIT
trap 'exit 130' INT
trap 'exit 143' TERM HUP

# mount_into DIR ARGS...: mounts into the root's DIR, remembered for the
# end. Bound trees are made slaves, so that nothing unmounted in the root
# reaches the machine's own mounts.
mount_into() {
    local dir=$root/$1
    shift
    mount "$@" "$dir"
    mounts+=("$dir")
    if [ "$1" = --rbind ]; then mount --make-rslave "$dir"; fi
}

step() { printf '\n== %s (at %d s)\n' "$*" "$SECONDS"; }

step "a $suite root in $root"
debootstrap --variant=minbase "$suite" "$root" http://deb.debian.org/debian >"$root.log" 2>&1 ||
    { tail -20 "$root.log"; rm -f "$root.log"; exit 1; }
rm -f "$root.log"
mount_into proc -t proc proc
mount_into sys -t sysfs sysfs
mount_into dev --rbind /dev
cp /etc/resolv.conf "$root/etc/resolv.conf"

step "packages"
in_root() { chroot "$root" env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root TERM=dumb "$@"; }
# apt, its errors shown (not its warning that root downloads unsandboxed).
apt() {
    in_root env DEBIAN_FRONTEND=noninteractive apt-get -q "$@" 2>&1 >/dev/null |
        { grep -v '^W: Download is performed unsandboxed' || true; }
}
in_root dpkg --add-architecture i386
apt update
apt install -y --no-install-recommends \
    cmake ninja-build g++ googletest libgtest-dev musl-tools git ca-certificates xxd perl \
    g++-mingw-w64-i686 g++-mingw-w64-x86-64 wine wine64 wine32:i386 tmux xvfb xdotool \
    g++-i686-linux-gnu qemu-user
in_root sh -c 'gcc --version | head -1; cmake --version | head -1; /usr/lib/wine/wine64 --version'

step "this commit, cloned into the root"
git clone -q --no-local "$repo" "$root/velmor"

# suite COMMAND: runs it in the clone, its output kept in a log; prints
# the summary, or on failure the output of each test that failed.
suite() {
    if in_root bash -c "cd /velmor && $1" >"$root/suite.log" 2>&1; then
        grep -E 'tests passed|^x= ' "$root/suite.log"
    else
        sed -n '/\*\*\*\(Failed\|Timeout\)/,/^ *Start /p; /CMake Error/,+5p' "$root/suite.log" | tail -60
        return 1
    fi
}

step "the README's two commands"
suite 'cmake --workflow --preset release >/dev/null && build/release/velmor examples/sample.jpg &&
    build/release/velmor examples/sample.bmp && cmake --workflow --preset dev'

step "64-bit Windows under wine64"
suite 'cmake --workflow --preset windows64'

step "32-bit Windows under Wine"
# Where the kernel runs no 32-bit x86 program, qemu-i386 is registered
# from inside the root: the kernel opens the root's own, whose libraries
# are found there (the machine's may be of another release).
# Only a handler registered here is removed at the end.
how=$(in_root bash /velmor/tests/i386-handler.sh on) || { echo "$how"; exit 1; }
[ "$how" != "through qemu-i386 (registered now)" ] || handler=on
echo "32-bit x86 programs run here $how"
suite 'cmake --workflow --preset windows'

step "i686 Linux under qemu-user"
suite 'cmake --workflow --preset i686'

step "passed on ${1:-trixie}"
