#!/usr/bin/env bash
# A time-boxed fuzzing campaign for both header decoders, seeded from the
# test rows; the two run side by side. Fails on any finding. Reports the
# executions and the source coverage the corpus reaches in each reader.
#   campaign.sh BUILD_DIR [SECONDS_PER_READER]
set -euo pipefail
build=$(realpath "$1") seconds=${2:-60}
here=$(dirname "$(realpath "$0")")
corpus=$build/corpus
VELMOR_VERSION=- bash "$here/../run-row.sh" --seeds "$corpus/seeds"

status=0
for reader in jpg bmp; do
    mkdir -p "$corpus/$reader" "$build/findings-$reader"
    # New inputs go to corpus/READER, which later campaigns start from.
    (cd "$build/findings-$reader" &&
        LLVM_PROFILE_FILE=/dev/null "$build/fuzz_$reader" -max_total_time="$seconds" -print_final_stats=1 \
            -timeout=5 "$corpus/$reader" "$corpus/seeds/$reader" \
            >"$build/fuzz-$reader.log" 2>&1) &
done
for reader in jpg bmp; do wait -n || status=1; done
for reader in jpg bmp; do
    log=$build/fuzz-$reader.log
    edges=$(sed -n 's/.*Loaded 1 modules *(\([0-9]*\) inline 8-bit counters).*/\1/p' "$log" | head -1)
    echo "$reader: $(grep -oE 'stat::number_of_executed_units: [0-9]+' "$log" | grep -oE '[0-9]+') executions," \
        "$(grep -oE 'cov: [0-9]+' "$log" | tail -1 | grep -oE '[0-9]+') of ${edges:-?} edges," \
        "corpus $(find "$corpus/$reader" -type f | wc -l) new inputs"
    grep -E 'ERROR|SUMMARY|deadly signal|crash-|leak-|timeout-' "$log" || true
    # Source coverage of the reader's unit by the whole corpus.
    LLVM_PROFILE_FILE=$build/cov-$reader.profraw "$build/fuzz_$reader" -runs=0 \
        "$corpus/$reader" "$corpus/seeds/$reader" >/dev/null 2>&1
    llvm-profdata merge -sparse "$build/cov-$reader.profraw" -o "$build/cov-$reader.profdata"
    llvm-cov report "$build/fuzz_$reader" -instr-profile="$build/cov-$reader.profdata" \
        --show-functions -Xdemangler=c++filt "$here/../../src/$reader.cpp" |
        awk 'NR == 2 || /Line|Get|ToDPI/ { print "  " $0 }'
done
exit $status
