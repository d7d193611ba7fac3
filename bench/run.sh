#!/usr/bin/env bash
# Times velmor side by side with the floor a static libc program reaches
# (bench/floor.c) and with file(1), then on a 2 GiB sparse bitmap against a
# 54-byte one, and reads its peak memory. Prints medians and ratios.
#   bench/run.sh [VELMOR]        (default build/release/velmor)
# Needs hyperfine, file, gcc and GNU time (Debian: hyperfine file gcc time).
set -euo pipefail
root=$(realpath "$(dirname "$0")/..")
velmor=$(realpath "${1:-$root/build/release/velmor}")
runs=${RUNS:-1000}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
gcc -O2 -static -o "$work/floor" "$root/bench/floor.c"
cp "$root/examples/sample.jpg" "$work/a.jpg"
cp "$root/examples/sample.bmp" "$work/a.bmp"
head -c 54 "$work/a.bmp" >"$work/small.bmp"
cp "$work/small.bmp" "$work/big.bmp" && truncate -s 2G "$work/big.bmp"

hf() {
    hyperfine -N --style none --warmup 100 --runs "$runs" --export-csv "$@" \
        >"$work/hyperfine.log" 2>&1 || { cat "$work/hyperfine.log"; exit 1; }
}
hf "$work/side.csv" \
    -n velmor-jpg "$velmor $work/a.jpg" \
    -n velmor-bmp "$velmor $work/a.bmp" \
    -n floor "$work/floor $work/a.jpg" \
    -n file "file $work/a.jpg"
hf "$work/size.csv" \
    -n velmor-54-bytes "$velmor $work/small.bmp" \
    -n velmor-2-GiB "$velmor $work/big.bmp"
rss=$(/usr/bin/time -f %M "$velmor" "$work/a.jpg" 2>&1 >/dev/null)

# Medians in microseconds, by command name.
declare -A med
while IFS=, read -r name _ _ median _; do
    med[$name]=$median
done < <(tail -q -n +2 "$work/side.csv" "$work/size.csv")

ratio() { awk -v a="${med[$1]}" -v b="${med[$2]}" 'BEGIN { printf "%.2f", a / b }'; }
verdict() { awk -v r="$1" -v op="$2" -v t="$3" 'BEGIN { ok = op == "<=" ? r <= t : r >= t; print ok ? "met" : "MISSED" }'; }

echo "| command | median |"
echo "|---|---|"
for name in velmor-jpg velmor-bmp floor file velmor-54-bytes velmor-2-GiB; do
    awk -v n="$name" -v s="${med[$name]}" 'BEGIN { printf "| %s | %.0f us |\n", n, s * 1e6 }'
done
echo
echo "| target | measured | |"
echo "|---|---|---|"
r=$(ratio velmor-jpg floor);   echo "| velmor / floor reader <= 1.10 | $r | $(verdict "$r" "<=" 1.10) |"
r=$(ratio file velmor-jpg);    echo "| file / velmor >= 2.5 | $r | $(verdict "$r" ">=" 2.5) |"
r=$(ratio velmor-2-GiB velmor-54-bytes); echo "| 2 GiB / 54 bytes <= 1.10 | $r | $(verdict "$r" "<=" 1.10) |"
echo "| peak RSS <= 1 MB (1000 kB) | $rss kB | $(verdict "$rss" "<=" 1000) |"
