#!/usr/bin/env bash
# The loop README.md gives for every image in a folder, read from it as
# written and run with the program on PATH in each shell installed (sh,
# bash, zsh, fish), in a folder with images in any letter case, a link to
# an image, a text file, a folder named like an image and a link to it:
# each image's line after its name and nothing else, nothing on standard
# error. Run again with a short image among them, whose error line names it
# as its label does: status 1 then, 0 without it.
#   readme-loop.sh PROGRAM
set -u
program=$(realpath "$1")
root=$(realpath "$(dirname "$0")/..")
loop=$(grep -m1 '^find ' "$root/README.md")
[ -n "$loop" ] || { echo "no loop in README.md"; exit 1; }
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
mkdir -p "$dir/bin" "$dir/images/dir.jpg"
ln -s "$program" "$dir/bin/velmor"
cd "$dir/images" || exit 1
cp "$root/examples/sample.jpg" DSC0001.JPG && cp "$root/examples/sample.jpg" a.jpg &&
    cp "$root/examples/sample.bmp" b.BMP && echo notes >notes.txt &&
    ln -s a.jpg latest.jpg && ln -s dir.jpg linked-dir.jpg
want=$'DSC0001.JPG: x= 300 DPI, y= 300 DPI\na.jpg: x= 300 DPI, y= 300 DPI\nb.BMP: x= 96 DPI, y= 96 DPI\nlatest.jpg: x= 300 DPI, y= 300 DPI'
echo "$loop"
fail=0
for shell in sh bash zsh fish; do
    command -v $shell >/dev/null || { echo "$shell: not installed"; continue; }
    for short in yes no; do
        expect=$want wanted=0
        if [ $short = yes ]; then
            head -c 20 a.jpg >short.jpg
            expect=$(LC_ALL=C sort <<<"$want"$'\n'"short.jpg: Can't read file: short.jpg") wanted=1
        fi
        out=$(PATH="$dir/bin:$PATH" $shell -c "$loop" 2>"$dir/err")
        status=$?
        rm -f short.jpg
        if [ "$(LC_ALL=C sort <<<"$out")" = "$expect" ] && [ $status = $wanted ] && [ ! -s "$dir/err" ]; then
            echo "$shell: each image's line after its name, status $status"
        else
            echo "$shell: status $status"; echo "$out"; cat "$dir/err"; fail=1
        fi
    done
done
exit $fail
