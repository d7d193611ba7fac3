#!/usr/bin/env bash
# A time-boxed fuzzing campaign for the two header decoders, the Windows
# command-line splitter and the Windows rules for names, two at a time.
# Fails on any finding. Reports the executions and the source coverage the
# corpus reaches in each target's unit.
#   campaign.sh BUILD_DIR [SECONDS_PER_TARGET]
set -euo pipefail
build=$(realpath "$1") seconds=${2:-60}
here=$(dirname "$(realpath "$0")")
corpus=$build/corpus

# Seeds: the header blocks of the test rows; for the rules, command lines
# (UTF-16) and names (UTF-8) of each kind they tell apart.
VELMOR_VERSION=- bash "$here/../run-row.sh" --seeds "$corpus/seeds"
mkdir -p "$corpus/seeds/cmdline" "$corpus/seeds/name"
i=0
for line in '"C:\Program Files"\velmor\velmor.exe photo.jpg' '"C:\v\velmor.exe"x.jpg' \
            'v a\\\"b "c d"" e\\\\"' $'v\t"\\\\" Ω.jpg'; do
    printf %s "$line" | iconv -f UTF-8 -t UTF-16LE >"$corpus/seeds/cmdline/$((i += 1))"
done
for name in 'COM9:.jpg' 'sub\LPT1 .bmp' '\\srv\\pipe\x.jpg' '\\.\C:\..\x.jpg' '//?/C:/x.jpg' \
            '\\?\UNC\srv\share\CON.jpg' '\\?\Volume{01234567-89ab-cdef-0123-456789abcdef}\a.jpg' \
            'C:\Windows\Sysnative\a.jpg'; do
    printf %s "$name" >"$corpus/seeds/name/$((i += 1))"
done

# fuzz TARGET [MAX_LEN]: one target for the time given. A command line or a
# name may be as long as Windows allows: 32,767 UTF-16 units.
fuzz() {
    mkdir -p "$corpus/$1" "$build/findings-$1"
    # New inputs go to corpus/TARGET, which later campaigns start from.
    (cd "$build/findings-$1" &&
        LLVM_PROFILE_FILE=/dev/null "$build/fuzz_$1" -max_total_time="$seconds" -print_final_stats=1 \
            -timeout=5 ${2:+-max_len=$2} "$corpus/$1" "$corpus/seeds/$1" >"$build/fuzz-$1.log" 2>&1)
}

status=0
fuzz jpg & fuzz bmp &
wait -n || status=1; wait -n || status=1
fuzz cmdline 65534 & fuzz name 98301 &
wait -n || status=1; wait -n || status=1

for target in jpg bmp cmdline name; do
    case $target in jpg | bmp) unit=$target ;; *) unit=winrules ;; esac
    log=$build/fuzz-$target.log
    edges=$(sed -n 's/.*Loaded 1 modules *(\([0-9]*\) inline 8-bit counters).*/\1/p' "$log" | head -1)
    echo "$target: $(grep -oE 'stat::number_of_executed_units: [0-9]+' "$log" | grep -oE '[0-9]+') executions," \
        "$(grep -oE 'cov: [0-9]+' "$log" | tail -1 | grep -oE '[0-9]+') of ${edges:-?} edges," \
        "corpus $(find "$corpus/$target" -type f | wc -l) new inputs"
    grep -E 'ERROR|SUMMARY|deadly signal|crash-|leak-|timeout-' "$log" || true
    # Source coverage of the target's unit by the whole corpus.
    LLVM_PROFILE_FILE=$build/cov-$target.profraw "$build/fuzz_$target" -runs=0 \
        "$corpus/$target" "$corpus/seeds/$target" >/dev/null 2>&1
    llvm-profdata merge -sparse "$build/cov-$target.profraw" -o "$build/cov-$target.profdata"
    llvm-cov report "$build/fuzz_$target" -instr-profile="$build/cov-$target.profdata" \
        --show-functions -Xdemangler=c++filt "$here/../../src/$unit.cpp" |
        awk -v t="$target" 'NR == 2 || (t ~ /jpg|bmp/ && /Line|Get|ToDPI/) ||
                            (t == "cmdline" && /split|argument|backslashes|toUtf/) ||
                            (t == "name" && /Device|Verbatim|Sysnative|openName|Pipe|Drive|Volume|climbs|Reserved|FilePath/) { print "  " $0 }'
done
exit $status
