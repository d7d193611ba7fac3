#!/usr/bin/env bash
# Runs a command in a fresh clone of this commit as on a machine that lacks
# some installed files: each PATH is hidden, in a mount namespace of the
# command's own, behind an empty folder or /dev/null (not executable), so
# that nothing finds it and no package is removed. Needs root.
#   without.sh PATH... -- COMMAND...
# Example: the release program where gcc is missing (clang alone):
#   without.sh /usr/bin/gcc-12 /usr/bin/g++-12 -- cmake --workflow --preset release
set -euo pipefail
root=$(realpath "$(dirname "$0")/..")
hide=()
while [ "$1" != -- ]; do hide+=("$1"); shift; done
shift
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
chmod 755 "$work"
git clone -q --no-local "$root" "$work/velmor"
mkdir "$work/empty"
# shellcheck disable=SC2016 # expanded by the inner shell
unshare --mount --propagation private bash -euc '
    empty=$1 n=$2; shift 2
    for ((i = 0; i < n; i++)); do
        if [ -d "$1" ]; then mount --bind "$empty" "$1"; elif [ -e "$1" ]; then mount --bind /dev/null "$1"; fi
        shift
    done
    cd "$(dirname "$empty")/velmor" && "$@"' - "$work/empty" "${#hide[@]}" "${hide[@]}" "$@"
