#!/usr/bin/env bash
# The loop README.md gives for every image in a folder, read from it as
# written and run with the program on PATH in each shell installed (sh,
# bash, zsh, fish), in a folder with images in any letter case, a text
# file and a folder named like an image: each image's line after its name
# and nothing else, status 0, nothing on standard error.
#   readme-loop.sh PROGRAM
set -u
program=$(realpath "$1")
root=$(realpath "$(dirname "$0")/..")
loop=$(grep -m1 '^find \. ' "$root/README.md")
[ -n "$loop" ] || { echo "no loop in README.md"; exit 1; }
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
mkdir -p "$dir/bin" "$dir/images/dir.jpg"
ln -s "$program" "$dir/bin/velmor"
cd "$dir/images" || exit 1
cp "$root/examples/sample.jpg" DSC0001.JPG && cp "$root/examples/sample.jpg" a.jpg &&
    cp "$root/examples/sample.bmp" b.BMP && echo notes >notes.txt
want=$'DSC0001.JPG: x= 300 DPI, y= 300 DPI\na.jpg: x= 300 DPI, y= 300 DPI\nb.BMP: x= 96 DPI, y= 96 DPI'
echo "$loop"
fail=0
for shell in sh bash zsh fish; do
    command -v $shell >/dev/null || { echo "$shell: not installed"; continue; }
    out=$(PATH="$dir/bin:$PATH" $shell -c "$loop" 2>"$dir/err")
    status=$?
    if [ "$(LC_ALL=C sort <<<"$out")" = "$want" ] && [ $status = 0 ] && [ ! -s "$dir/err" ]; then
        echo "$shell: each image's line after its name, status 0"
    else
        echo "$shell: status $status"; echo "$out"; cat "$dir/err"; fail=1
    fi
done
exit $fail
