#!/usr/bin/env bash
# Measures velmor against the limit of a process: bench/limit.c, which opens
# the file, reads 30 bytes, writes one line and exits with no C library at
# all, built plain and hardened (position-independent, with RELRO and
# immediate binding: what a protected program cannot do without). Beside
# them, for reference: the same sources linked statically
# against glibc, a static glibc program that only opens, reads and prints
# (bench/floor.c), and file(1). Times come from bench/timer.c, which runs
# the commands round-robin in a new shuffled order each round; the counts
# (instructions under callgrind, page faults after exec, peak memory read
# as the process exits, stripped size) do not move with the machine's load.
# Every program runs in a work folder whose path has the same length on
# every machine, by a short name, on a file named there, with an empty
# environment: a start-up walks its arguments and environment, so a longer
# name or environment would cost instructions of its own, and valgrind puts
# the program's full path on its stack, where the path's length moves the
# alignment of the arguments and with it the instructions strlen takes.
#   bench/run.sh [VELMOR]        (default build/release/velmor)
# Needs gcc, g++, valgrind and file (Debian: gcc g++ valgrind file).
set -euo pipefail
root=$(realpath "$(dirname "$0")/..")
velmor=$(realpath "${1:-$root/build/release/velmor}")
rounds=${ROUNDS:-1000}

work=$(mktemp -d /tmp/velmor-bench.XXXXXX)
trap 'rm -rf "$work"' EXIT
gcc -O2 -o "$work/timer" "$root/bench/timer.c"
gcc -O2 -static -nostdlib -fno-pie -no-pie -fno-stack-protector -o "$work/limit" "$root/bench/limit.c"
gcc -O2 -static-pie -nostdlib -fPIE -fno-stack-protector -Wl,-z,relro,-z,now -o "$work/limit-pie" "$root/bench/limit.c"
gcc -O2 -static -o "$work/floor" "$root/bench/floor.c"
# The program's own sources on glibc, as the release program was before.
version_h=$(dirname "$velmor")/src/version.h
[ -f "$version_h" ] || version_h=$root/build/release/src/version.h
mkdir "$work/inc" && cp "$version_h" "$work/inc/"
g++ -std=c++17 -O3 -static -I "$root/src" -I "$work/inc" -o "$work/velmor-glibc" \
    "$root"/src/{velmor,jpg,bmp,posix}.cpp
cp "$velmor" "$work/velmor"
ln -s "$(command -v file)" "$work/file"
cp "$root/examples/sample.jpg" "$work/a.jpg"
cp "$root/examples/sample.bmp" "$work/a.bmp"
head -c 54 "$work/a.bmp" >"$work/small.bmp"
cp "$work/small.bmp" "$work/big.bmp" && truncate -s 2G "$work/big.bmp"

names=(limit limit-pie velmor-jpg velmor-bmp velmor-54-bytes velmor-2-GiB velmor-glibc floor file)
declare -A cmd=(
    [limit]="./limit a.jpg"
    [limit-pie]="./limit-pie a.jpg"
    [velmor-jpg]="./velmor a.jpg"
    [velmor-bmp]="./velmor a.bmp"
    [velmor-54-bytes]="./velmor small.bmp"
    [velmor-2-GiB]="./velmor big.bmp"
    [velmor-glibc]="./velmor-glibc a.jpg"
    [floor]="./floor a.jpg"
    [file]="./file a.jpg"
)
args=()
for n in "${names[@]}"; do args+=("$n=${cmd[$n]}"); done
cd "$work"
env -i ./timer "$rounds" "${args[@]}" >times

declare -A wall cpu ratio ratio2 faults peak
while read -r n w c r r2 f p; do
    wall[$n]=$w cpu[$n]=$c ratio[$n]=$r ratio2[$n]=$r2 faults[$n]=$f peak[$n]=$p
done <times

valgrind=$(command -v valgrind)
instructions() {
    # shellcheck disable=SC2086 # the command is split at blanks on purpose
    env -i "$valgrind" --tool=callgrind --callgrind-out-file=/dev/null ${cmd[$1]} 2>&1 >/dev/null |
        sed -n 's/.*Collected : //p'
}
size() {
    case $1 in
    file) echo "-" ;;  # dynamic: its libraries are the most of it
    *) local b=${cmd[$1]%% *}; strip -o stripped "$b"; stat -c %s stripped ;;
    esac
}

echo "| program | wall (us) | CPU (us) | CPU / limit | CPU / hardened limit | instructions | faults after exec | peak memory (kB) | stripped size (bytes) |"
echo "|---|---|---|---|---|---|---|---|---|"
declare -A ins bytes
for n in "${names[@]}"; do
    ins[$n]=$(instructions "$n")
    bytes[$n]=$(size "$n")
    echo "| $n | ${wall[$n]} | ${cpu[$n]} | ${ratio[$n]} | ${ratio2[$n]} | ${ins[$n]} | ${faults[$n]} | ${peak[$n]} | ${bytes[$n]} |"
done

verdict() { awk -v a="$1" -v op="$2" -v t="$3" 'BEGIN { ok = op == "<=" ? a <= t : a >= t; print ok ? "met" : "MISSED" }'; }
big=$(awk -v a="${cpu[velmor-2-GiB]}" -v b="${cpu[velmor-54-bytes]}" 'BEGIN { printf "%.2f", a / b }')
echo
echo "| target (velmor on a JPEG) | measured | |"
echo "|---|---|---|"
echo "| CPU time <= 1.20 x limit (median of per-round ratios) | ${ratio[velmor-jpg]} | $(verdict "${ratio[velmor-jpg]}" "<=" 1.20) |"
echo "| CPU time <= 1.10 x hardened limit | ${ratio2[velmor-jpg]} | $(verdict "${ratio2[velmor-jpg]}" "<=" 1.10) |"
echo "| instructions <= 6,000 | ${ins[velmor-jpg]} | $(verdict "${ins[velmor-jpg]}" "<=" 6000) |"
echo "| page faults after exec <= 10 | ${faults[velmor-jpg]} | $(verdict "${faults[velmor-jpg]}" "<=" 10) |"
echo "| peak memory <= 100 kB | ${peak[velmor-jpg]} kB | $(verdict "${peak[velmor-jpg]}" "<=" 100) |"
echo "| stripped program <= 64 KiB | ${bytes[velmor-jpg]} | $(verdict "${bytes[velmor-jpg]}" "<=" 65536) |"
echo "| CPU time, 2 GiB / 54-byte bitmap <= 1.10 | $big | $(verdict "$big" "<=" 1.10) |"
