#!/usr/bin/env bash
# Passes when a Windows program carries its manifest (UTF-8 code page, long
# paths) and version information naming velmor.exe at VERSION.
#   check-resources.sh WINDRES PROGRAM.exe VERSION
set -u
rc=$("$1" -i "$2" -O rc) || { echo "no resources read from $2"; exit 1; }
fail=0
for want in '<activeCodePage [^>]*>UTF-8</activeCodePage>' \
            '<longPathAware [^>]*>true</longPathAware>' \
            "VALUE \"FileVersion\", \"$3\"" "VALUE \"ProductVersion\", \"$3\"" \
            'VALUE "OriginalFilename", "velmor.exe"' 'VALUE "ProductName", "velmor"'; do
    grep -q -- "$want" <<<"$rc" || { echo "missing: $want"; fail=1; }
done
[ $fail = 1 ] || echo "manifest and version information present"
exit $fail
