#!/usr/bin/env bash
# Passes when a program keeps the protections it is built with, as the
# system that loads it reads them:
# - a Linux program (checksec): PIE, NX, and RELRO exactly as given: "full"
#   where the C library applies it (glibc), "none" where it would not
#   (musl's static start), so that none is claimed in vain;
# - a Windows program (objdump -p): ASLR (DYNAMIC_BASE) and DEP
#   (NX_COMPAT), HIGH_ENTROPY_VA when 64-bit; a 32-bit one marked NO_SEH,
#   which is true only while no code of the image registers an SEH handler
#   (reads %fs:0);
# - either, where the symbols are still there: the two readers check
#   their stack canary (call __stack_chk_fail).
#   check-hardening.sh OBJDUMP PROGRAM [full|none]
set -u
objdump=$1 program=$2 relro=${3-}
fail=0
say() { echo "$*"; fail=1; }

headers=$("$objdump" -p "$program") || exit 1
if grep -q 'file format pe' <<<"$headers"; then
    flags=$(sed -n 's/^DllCharacteristics[[:space:]]*//p' <<<"$headers")
    want=$((0x40 | 0x100)) names="DYNAMIC_BASE NX_COMPAT"
    if grep -q 'file format pei-x86-64' <<<"$headers"; then
        want=$((want | 0x20)) names+=" HIGH_ENTROPY_VA"
    else
        want=$((want | 0x400)) names+=" NO_SEH"
        ! "$objdump" -d "$program" | grep -qE '%fs:0x0(,|$)' || say "NO_SEH, yet the image reads %fs:0"
    fi
    (((0x$flags & want) == want)) || say "DllCharacteristics $flags lacks some of $names"
    echo "DllCharacteristics $flags: $names"
else
    command -v checksec >/dev/null || { echo "skipped: needs checksec"; exit 77; }
    IFS=, read -r got_relro _ nx pie _ < <(checksec --output=csv --file="$program")
    echo "$got_relro, $nx, $pie"
    [ "$pie" = "PIE enabled" ] || say "not position-independent"
    [ "$nx" = "NX enabled" ] || say "executable stack"
    case $relro in
    full) [ "$got_relro" = "Full RELRO" ] || say "RELRO is not full" ;;
    none) [ "$got_relro" = "No RELRO" ] || say "RELRO claimed where the C library never applies it" ;;
    esac
fi

# The readers, found by their names: each one's body calls __stack_chk_fail.
if "$objdump" -t "$program" | grep -q getJpgDPI; then
    guarded=$("$objdump" -d -C "$program" |
        awk '/^[0-9a-f]+ <.*>:$/ { f = $0 } /(call|bl)[a-z]*[ \t].*<_*__stack_chk_fail(_local)?(@plt)?>/ { print f }')
    canaries=1
    for reader in getJpgDPI getBmpDPI; do
        grep -q "<_*$reader(" <<<"$guarded" || { say "$reader checks no stack canary"; canaries=0; }
    done
    [ $canaries = 0 ] || echo "stack canary checked by getJpgDPI and getBmpDPI"
fi
exit $fail
