#!/usr/bin/env bash
# Passes when a Windows program imports system DLLs alone, so that it runs
# on a bare Windows with no MinGW DLL beside it.
#   check-imports.sh OBJDUMP PROGRAM.exe
set -u
dlls=$("$1" -p "$2" | sed -n 's/^[[:space:]]*DLL Name: //p')
[ -n "$dlls" ] || { echo "no imports read from $2"; exit 1; }
echo "$dlls"
others=$(grep -viE '^(kernel32|msvcrt|ntdll|user32|advapi32|api-ms-win-.*)\.dll$' <<<"$dlls")
[ -z "$others" ] || { echo "not system DLLs: $others"; exit 1; }
