#!/usr/bin/env bash
# Runs a command in a fresh clone of this commit as on a machine that lacks
# some installed files: each PATH is hidden, in a mount namespace of the
# command's own, and no package is removed. A file (through its links, the
# file they lead to) leaves its folder's listing: an overlay of the folder
# holds a whiteout for its name, so that every lookup misses it (a file
# bound over it would still exist, and bash's command -v, as root, falls
# back to one it cannot run). A folder is emptied: an empty one is bound
# over it. Needs root and overlayfs.
#   without.sh PATH... -- COMMAND...
# Example: the release program where gcc is missing (clang alone):
#   without.sh /usr/bin/gcc-12 /usr/bin/g++-12 -- cmake --workflow --preset release
set -euo pipefail
root=$(realpath "$(dirname "$0")/..")
hide=()
while [ "$1" != -- ]; do hide+=("$1"); shift; done
shift
work=$(mktemp -d)
top=
# The folder goes only once nothing is bound in it (rmdir refuses a mount
# point).
trap '[ -z "$top" ] || { umount --lazy "$top" 2>/dev/null; rmdir "$top"; } && rm -rf "$work"' EXIT
chmod 755 "$work"
git clone -q --no-local "$root" "$work/velmor"
mkdir "$work/empty"

# Hides the paths and runs the command, in the namespace made for them.
# shellcheck disable=SC2016 # expanded by the inner shell
hidden='
    empty=$1 n=$2; shift 2
    folders=() files=()
    for ((i = 0; i < n; i++)); do
        if [ -d "$1" ]; then folders+=("$1"); elif [ -e "$1" ]; then files+=("$(realpath "$1")"); fi
        shift
    done
    # The upper layers of the overlays, on a tmpfs (which takes whiteouts and
    # their attributes wherever the clone is): one a folder, parents first.
    layers=$(dirname "$empty")/layers
    mkdir "$layers" && mount -t tmpfs tmpfs "$layers"
    k=0
    while read -r folder; do
        k=$((k + 1)) && mkdir "$layers/$k" "$layers/$k/up" "$layers/$k/work"
        for f in "${files[@]}"; do [ "$(dirname "$f")" != "$folder" ] || mknod "$layers/$k/up/${f##*/}" c 0 0; done
        mount -t overlay overlay -o "lowerdir=$folder,upperdir=$layers/$k/up,workdir=$layers/$k/work" "$folder"
    done < <(for f in "${files[@]}"; do dirname "$f"; done | LC_ALL=C sort -u)
    for folder in "${folders[@]}"; do mount --bind "$empty" "$folder"; done
    cd "$(dirname "$empty")/velmor" && "$@"'
args=("$work/empty" "${#hide[@]}" "${hide[@]}" "$@")

if unshare --mount --propagation private true 2>/dev/null; then
    unshare --mount --propagation private bash -euc "$hidden" - "${args[@]}"
else
    # In a chroot of a plain folder (as pbuilder and sbuild make them) the
    # root is no mount point, so no namespace can make it private, and
    # mounts on it may reach the system outside. Its root is bound (alone)
    # onto a folder of its own instead: a mount point, which the command's
    # namespace makes private before it mounts the chroot's own mounts
    # (/proc, /dev, ...) there and runs the command chrooted into it. Here
    # the bind is taken away again when the command ends; it has no mounts
    # below it here, so that takes nothing else with it.
    [ -e /proc/self/mountinfo ] || { echo "without.sh: needs /proc in the chroot"; exit 1; }
    top=$work/root
    mkdir "$top"
    mount --bind / "$top"
    # shellcheck disable=SC2016 # expanded by the inner shell
    unshare --mount --propagation unchanged bash -euc '
        top=$1; shift
        mount --make-private "$top"
        while read -r m; do
            case $m in / | "$top" | "$top"/*) continue ;; esac
            mountpoint -q "$top$m" || mount --rbind "$m" "$top$m"
        done < <(findmnt --raw --noheadings --output TARGET)
        exec chroot "$top" "$@"' - "$top" bash -euc "$hidden" - "${args[@]}"
fi
