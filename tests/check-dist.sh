#!/usr/bin/env bash
# The release archives as users meet them: SHA256SUMS holds, each archive
# holds what it should, and its program, unpacked, prints the right line
# for both sample images (an aarch64 one through qemu-aarch64, velmor.exe
# through Wine, in the prefix WINEPREFIX names, else one of its own). The .debs pass lintian
# with no error and no warning. Every program keeps its protections. No
# shipped document links to a file its archive lacks; a tarball's README
# installs it for one user and removes it again; the zip's texts, for
# Notepad, are ASCII and end their lines in CR LF.
#   check-dist.sh ARCHIVES
set -euo pipefail
root=$(realpath "$(dirname "$0")/..")
dir=$(realpath "$1")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# Wine, where the caller names no prefix: quiet, in a prefix of its own
# beside the archives (never ~/.wine), made before the first run and its
# server ended at the end.
if [ -z "${WINEPREFIX-}" ] && compgen -G "$dir/*.zip" >/dev/null; then
    export WINEPREFIX=$dir/../wine WINEDEBUG=-all WINEDLLOVERRIDES=mscoree,mshtml= \
        LC_ALL=C.UTF-8 QEMU_RESERVED_VA=0x7fff0000
    [ -d "$WINEPREFIX" ] || wine wineboot -i </dev/null >/dev/null 2>&1 || true
    trap 'wineserver -k 2>/dev/null || true; rm -rf "$work"' EXIT
fi
(cd "$dir" && sha256sum -c --strict SHA256SUMS)
[ "$(wc -l <"$dir/SHA256SUMS")" = "$(find "$dir" -type f ! -name SHA256SUMS | wc -l)" ]

# samples RUN...: the program RUN prints the samples' resolutions.
samples() {
    [ "$("$@" "$root/examples/sample.jpg" | tr -d '\r')" = "x= 300 DPI, y= 300 DPI" ] &&
        [ "$("$@" "$root/examples/sample.bmp" | tr -d '\r')" = "x= 96 DPI, y= 96 DPI" ] ||
        { echo "wrong output from $*"; exit 1; }
    echo "ok: $*"
}
emulator() { case $1 in *aarch64* | *arm64*) echo qemu-aarch64 ;; *win32*) echo wine ;; esac; }
# links ARCHIVE DIR: every relative link of a Markdown document unpacked in
# DIR leads to a file there.
links() {
    local doc target n=0 bad=0
    while IFS= read -r -d '' doc; do
        while IFS= read -r target; do
            target=${target%%#*}
            [ -n "$target" ] || continue  # a place in the same document
            n=$((n + 1))
            [ -e "$(dirname "$doc")/$target" ] || { echo "$1: ${doc#"$2"/} links to $target"; bad=1; }
        done < <(grep -oE '\]\([^) ]+\)' "$doc" | sed -E 's/^\]\(//; s/\)$//' | grep -vE '^(https?|mailto):' || true)
    done < <(find "$2" -name '*.md' -print0)
    [ $bad = 0 ] || exit 1
    echo "$1: links to $n files, none to a file the archive lacks"
}
# hardened ARCHIVE PROGRAM: the program keeps its protections; RELRO only
# where the C library applies it (glibc, not musl's static start).
hardened() {
    local objdump=objdump relro=none
    case $1 in *aarch64* | *arm64*) objdump=aarch64-linux-gnu-objdump ;; esac
    case $1 in *-gnu.tar.gz) relro=full ;; *win32*) relro= ;; esac
    # A .deb holds the program of the tarball for its processor.
    case $1 in *_amd64.deb) [ ! -e "$dir"/*-x86_64-linux-gnu.tar.gz ] || relro=full ;;
               *_arm64.deb) [ ! -e "$dir"/*-aarch64-linux-gnu.tar.gz ] || relro=full ;; esac
    bash "$root/tests/check-hardening.sh" $objdump "$2" $relro || { echo "$1: a protection is lost"; exit 1; }
}

for f in "$dir"/*; do
    name=$(basename "$f")
    case $name in
    *.tar.gz)
        tar -xzf "$f" -C "$work"
        top=$work/${name%.tar.gz}
        [ "$(cd "$top" && LC_ALL=C ls | xargs)" = "LICENSE README.md _velmor velmor velmor.1 velmor.bash velmor.fish" ]
        samples $(emulator "$name") "$top/velmor"
        hardened "$name" "$top/velmor"
        links "$name" "$top"
        # Its README's lines that install it for one user and remove it, as
        # typed, with a home of their own: the program installed runs, and
        # the removal leaves no file.
        lines=$(grep -E '^  (install -D|rm ~/)' "$top/README.md" | sed 's/^  //')
        home=$work/home-$name && mkdir "$home"
        (cd "$top" && HOME=$home bash -eu <<<"$(grep -v '^rm ' <<<"$lines")")
        samples $(emulator "$name") "$home/.local/bin/velmor"
        HOME=$home bash -eu <<<"$(grep '^rm ' <<<"$lines")"
        [ -z "$(find "$home" -type f)" ] || { echo "$name: files left after the README's removal"; exit 1; }
        ;;
    *.deb)
        lintian --allow-root --fail-on error,warning "$f"
        mkdir "$work/$name" && dpkg-deb -x "$f" "$work/$name"
        for p in man/man1/velmor.1.gz doc/velmor/copyright doc/velmor/changelog.gz \
                 bash-completion/completions/velmor zsh/vendor-completions/_velmor \
                 fish/vendor_completions.d/velmor.fish lintian/overrides/velmor; do
            test -f "$work/$name/usr/share/$p"
        done
        samples $(emulator "$name") "$work/$name/usr/bin/velmor"
        hardened "$name" "$work/$name/usr/bin/velmor"
        links "$name" "$work/$name"
        ;;
    *.zip)
        [ "$(unzip -Z1 "$f" | LC_ALL=C sort | xargs)" = "LICENSE.txt README.txt velmor.exe" ]
        unzip -q "$f" -d "$work/$name"
        # CR LF, and ASCII alone: old Notepad reads a text without a BOM
        # in the ANSI code page.
        for t in README.txt LICENSE.txt; do
            ! grep -q $'[^\r]$\|^$' "$work/$name/$t" || { echo "$name: $t has a line that does not end in CR LF"; exit 1; }
            ! LC_ALL=C grep -q $'[^\t\r -~]' "$work/$name/$t" || { echo "$name: $t is not ASCII"; exit 1; }
        done
        ! grep -nE 'sudo |apt |~/|/usr/|\$ ' "$work/$name/README.txt" || { echo "$name: a Linux command"; exit 1; }
        samples $(emulator "$name") "$work/$name/velmor.exe"
        hardened "$name" "$work/$name/velmor.exe"
        ;;
    esac
done
