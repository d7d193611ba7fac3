#!/usr/bin/env bash
# Builds the release artifacts twice from clean clones of one commit and
# requires the same bytes: the three programs and every archive of the
# dist preset (the tarballs, the .debs, the .zip, SHA256SUMS).
# The two builds differ in folder, time, time zone and umask, and, when
# root runs this, in user; the second is built from the tree alone, as
# from an unpacked source archive, without .git. Prints each artifact's
# SHA-256 from both.
#   tests/reproducible.sh [COMMIT]      (default HEAD)
set -euo pipefail
root=$(realpath "$(dirname "$0")/..")
commit=$(git -C "$root" rev-parse "${1:-HEAD}")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
chmod 755 "$work"

# Patterns, expanded in the first build's folder.
artifacts='build/release/velmor build/aarch64-release/velmor build/windows-release/velmor.exe
           build/dist/archives/*'

# build FOLDER UMASK TZ [USER]
build() {
    local dir=$work/$1
    git clone -q --no-local "$root" "$dir" && git -C "$dir" checkout -q "$commit"
    [ "$1" = one ] || rm -rf "$dir/.git"
    # A temporary folder of the build's own: the caller's TMPDIR may be one
    # that only root can write, where dpkg-deb, run as another user, fails.
    mkdir "$dir.tmp"
    local run=(env HOME="$dir" TMPDIR="$dir.tmp" TZ="$3" bash -c "umask $2 && cmake --workflow --preset dist")
    if [ -n "${4-}" ]; then
        chown -R "$4" "$dir" "$dir.tmp"
        run=(setpriv --reuid="$4" --regid="$4" --clear-groups "${run[@]}")
    fi
    (cd "$dir" && "${run[@]}") >"$work/$1.log" 2>&1 || { cat "$work/$1.log"; exit 1; }
}

other=
[ "$(id -u)" = 0 ] && other=65534
build one 022 UTC
sleep 2
build "second build" 077 Pacific/Kiritimati $other

fail=0
cd "$work/one"
for a in $artifacts; do
    one=$(sha256sum "$a")
    two=$(cd "$work/second build" && sha256sum "$a")
    echo "$one"; echo "$two"
    [ "${one%% *}" = "${two%% *}" ] || { echo "DIFFERS: ${one#* }"; fail=1; }
done
exit $fail
