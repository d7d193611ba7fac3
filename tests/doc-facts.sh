#!/usr/bin/env bash
# What the documents state of the program and the project, read from them
# and checked against both:
# - each bitmap example in README.md, the manual page, the zip's README and
#   CONTRIBUTING.md ("N pixels per metre, D dots per inch, print as M", and
#   "N as M" after it) is the line the program prints for a bitmap of that
#   resolution, and D is N x 0.0254 as far as it is written;
# - the package names and the release tag that README.md and CONTRIBUTING.md
#   give carry the project's version;
# - the manual page carries the date of the changelog's newest entry;
# - README.md's line that removes an install from source leaves nothing of
#   velmor in the prefix, only the folders other programs share;
# - README.md, for users first, is within 200 lines, Install in the first 120.
#   doc-facts.sh VERSION PROGRAM     (PROGRAM in the top of its build folder)
set -u
version=$1 program=$(realpath "$2")
root=$(realpath "$(dirname "$0")/..")
dir=$(mktemp -d) && trap 'rm -rf "$dir"' EXIT
fail=0

# The examples of a document, as lines "N D M" (D is - where not written):
# its text on one line, the manual page's \- and font changes undone.
examples() {
    tr '\n' ' ' <"$1" | tr -s ' ' | sed 's/\\-/-/g; s/\\f[BIRP]//g' |
        grep -oE '(-?[0-9]+) pixels per metre[ ,(]+-?[0-9.]+ dots per inch[),]* print as -?[0-9]+|(,|;|and) -?[0-9]+ as -?[0-9]+' |
        sed -E 's/^(-?[0-9]+) pixels per metre[ ,(]+(-?[0-9.]+) .* (-?[0-9]+)$/\1 \2 \3/; s/^[^ ]+ (-?[0-9]+) as (-?[0-9]+)$/\1 - \2/'
}
for doc in README.md man/velmor.1.in doc/windows-readme.txt CONTRIBUTING.md; do
    list=$(examples "$root/$doc")
    grep -q '^-' <<<"$list" || { echo "$doc: no example of a negative resolution"; fail=1; }
    while read -r n d m; do
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
    echo "$doc: $(wc -l <<<"$list") bitmap examples"
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

lines=$(wc -l <"$root/README.md") install=$(grep -n -m1 '^## Install' "$root/README.md" | cut -d: -f1)
echo "README.md: $lines lines, Install at line ${install:-none}"
[ "$lines" -le 200 ] && [ "${install:-121}" -le 120 ] || { echo "README.md: more than 200 lines, or Install after line 120"; fail=1; }
exit $fail
