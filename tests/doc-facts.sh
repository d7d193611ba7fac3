#!/usr/bin/env bash
# What the documents state of the program and the project, each rule checked
# where it lives, read from the documents and checked against both:
# - the manual page and the zip's README, where users read the bitmap rule,
#   state it whole (the half added, the cut toward zero, halves down), and
#   each example there ("N pixels per metre, D dots per inch, print as M",
#   and "N as M" after it) is the line the program prints for a bitmap of
#   that resolution, D being N x 0.0254 as far as it is written; README.md
#   and CONTRIBUTING.md, which link to it, give no negative example;
# - the package names and the release tag that README.md and CONTRIBUTING.md
#   give carry the project's version;
# - the manual page carries the date of the changelog's newest entry;
# - README.md's line that removes an install from source leaves nothing of
#   velmor in the prefix, only the folders other programs share;
# - README.md serves a user first: within 120 lines, what velmor cannot read
#   (Exif, V4) in its first 40, Install before Use, no hardening tool, and
#   its package line installs only what CI installs; the zip's README is
#   within 160 lines.
#   doc-facts.sh VERSION PROGRAM     (PROGRAM in the top of its build folder)
set -u
version=$1 program=$(realpath "$2")
root=$(realpath "$(dirname "$0")/..")
dir=$(mktemp -d) && trap 'rm -rf "$dir"' EXIT
fail=0

# A document's text on one line.
flat() { tr '\n' ' ' <"$1" | tr -s ' '; }
# The examples of a document, as lines "N D M" (D is - where not written):
# its text on one line, the manual page's \- and font changes undone.
examples() {
    flat "$1" | sed 's/\\-/-/g; s/\\f[BIRP]//g' |
        grep -oE '(-?[0-9]+) pixels per metre[ ,(]+-?[0-9.]+ dots per inch[),]* print as -?[0-9]+|(,|;|and) -?[0-9]+ as -?[0-9]+' |
        sed -E 's/^(-?[0-9]+) pixels per metre[ ,(]+(-?[0-9.]+) .* (-?[0-9]+)$/\1 \2 \3/; s/^[^ ]+ (-?[0-9]+) as (-?[0-9]+)$/\1 - \2/'
}
for doc in man/velmor.1.in doc/windows-readme.txt README.md CONTRIBUTING.md; do
    list=$(examples "$root/$doc")
    case $doc in
    *.md)
        ! grep -q '^-' <<<"$list" || { echo "$doc: a negative example, which the manual page holds"; fail=1; } ;;
    *)
        grep -q '^-' <<<"$list" || { echo "$doc: no example of a negative resolution"; fail=1; }
        text=$(flat "$root/$doc")
        for phrase in 'plus one half' 'cut toward zero' 'halves down'; do
            grep -qF "$phrase" <<<"$text" || { echo "$doc: the bitmap rule without \"$phrase\""; fail=1; }
        done ;;
    esac
    while read -r n d m; do
        [ -n "$n" ] || continue
        # A bitmap of the sample's header with both resolutions n.
        head -c 38 "$root/examples/sample.bmp" >"$dir/a.bmp"
        hex=$(printf '%08x' $((n & 0xFFFFFFFF)))
        printf "\\x${hex:6:2}\\x${hex:4:2}\\x${hex:2:2}\\x${hex:0:2}" >"$dir/field"
        cat "$dir/field" "$dir/field" >>"$dir/a.bmp" && head -c 8 /dev/zero >>"$dir/a.bmp"
        got=$("$program" "$dir/a.bmp")
        exact=$(awk -v n="$n" -v d="$d" 'BEGIN { e = n * 0.0254; print (d == "-" || (e - d < 0.01 && d - e < 0.01)) ? "" : e }')
        if [ "$got" != "x= $m DPI, y= $m DPI" ] || [ -n "$exact" ]; then
            echo "$doc: $n pixels per metre${exact:+ are $exact dots per inch, not $d}: velmor prints $got, not $m"; fail=1
        fi
    done <<<"$list"
    echo "$doc: $(grep -c . <<<"$list") bitmap examples"
done

# Every package name and tag with a version in it has this one.
names=$(cd "$root" && grep -noE 'velmor[-_][0-9][0-9.]*[0-9]|git tag v[0-9.]*[0-9]' README.md CONTRIBUTING.md)
echo "$(wc -l <<<"$names") names with the version"
if grep -vE "(velmor[-_]|git tag v)${version//./\\.}$" <<<"$names"; then
    echo "the names above do not carry the project's version, $version"; fail=1
fi

# The manual page built beside the program is dated by the newest changelog
# entry (or SOURCE_DATE_EPOCH where the caller sets one).
stamp=$(sed -n '0,/^ -- .*>  /s/^ -- .*>  //p' "$root/cmake/deb/changelog")
want=$(date -u -d "${SOURCE_DATE_EPOCH:+@$SOURCE_DATE_EPOCH}${SOURCE_DATE_EPOCH:-$stamp}" +%Y-%m-%d)
from="the changelog's newest entry"
[ -z "${SOURCE_DATE_EPOCH:-}" ] || from="SOURCE_DATE_EPOCH=$SOURCE_DATE_EPOCH, from the environment"
dated=$(awk '/^\.TH/ { gsub(/"/, "", $4); print $4 }' "$(dirname "$program")/velmor.1")
echo "manual page dated $dated"
[ "$dated" = "$want" ] || { echo "the manual page is dated $dated, not $want ($from)"; fail=1; }

# The install from source into a prefix of its own, then the README's line
# with that prefix and this build folder, as the user it runs as.
remove=$(grep -m1 '^ *sudo xargs rm ' "$root/README.md" | sed 's/^ *//; s/sudo //g')
build=$(dirname "$program") prefix=$dir/prefix
remove=${remove//build\/release/$build} && remove=${remove//\/usr\/local/$prefix}
${CMAKE_COMMAND:-cmake} --install "$build" --prefix "$prefix" >/dev/null &&
    (cd "$root" && eval "$remove") || { echo "install or removal failed: $remove"; fail=1; }
left=$(find "$prefix" -type f -o -type l -o -name '*velmor*')
[ -z "$left" ] || { echo "left after the removal:"; echo "$left"; fail=1; }
echo "removed: $(find "$prefix" -type d | wc -l) shared folders left, no file"

# at PATTERN: the line of README.md where PATTERN first matches.
at() { grep -n -m1 "$1" "$root/README.md" | cut -d: -f1; }
lines=$(wc -l <"$root/README.md") zip=$(wc -l <"$root/doc/windows-readme.txt")
echo "README.md: $lines lines, Exif at $(at Exif), V4 at $(at V4), Install at $(at '^## Install'), Use at $(at '^## Use'); the zip's: $zip"
[ "$lines" -le 120 ] && [ "$(at Exif)" -le 40 ] && [ "$(at V4)" -le 40 ] && [ "$(at '^## Install')" -lt "$(at '^## Use')" ] &&
    [ "$zip" -le 160 ] || { echo "README.md: over 120 lines, Exif or V4 after line 40, or Use before Install; or the zip's over 160"; fail=1; }
! grep -niE 'objdump|checksec|canar|relro' "$root/README.md" || { echo "README.md: the lines above are for contributors"; fail=1; }
for package in $(grep -m1 '^sudo apt install [a-z]' "$root/README.md" | cut -d' ' -f4-); do
    grep -qx "$package" "$root/.ci/packages" || { echo "README.md: $package, not among .ci/packages"; fail=1; }
done
exit $fail
