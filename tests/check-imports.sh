#!/usr/bin/env bash
# Passes when a program runs on a bare system: a Windows program imports
# system DLLs alone, with no MinGW DLL beside it; a static Linux program
# names no dynamic loader and no shared library (gcc's musl specs turn
# -static-pie into a program that wants /lib/ld-musl, without a word).
#   check-imports.sh OBJDUMP PROGRAM
set -u
headers=$("$1" -p "$2") || exit 1
if grep -q 'file format pe' <<<"$headers"; then
    dlls=$(sed -n 's/^[[:space:]]*DLL Name: //p' <<<"$headers")
    [ -n "$dlls" ] || { echo "no imports read from $2"; exit 1; }
    echo "$dlls"
    others=$(grep -viE '^(kernel32|msvcrt|ntdll|user32|advapi32|api-ms-win-.*)\.dll$' <<<"$dlls")
    [ -z "$others" ] || { echo "not system DLLs: $others"; exit 1; }
else
    dynamic=$(grep -E '^ *(INTERP|NEEDED) ' <<<"$headers")
    [ -z "$dynamic" ] || { echo "not static:"; echo "$dynamic"; exit 1; }
    echo "static: no loader, no shared library"
fi
