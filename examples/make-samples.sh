#!/usr/bin/env bash
# Writes the two sample images: sample.jpg, an 8x8 grey JPEG whose JFIF
# header records 300 dots per inch, and sample.bmp, a 2x2 24-bit bitmap at
# 3780 pixels per metre (96 dots per inch).
set -eu
cd "$(dirname "$0")"

hex() { printf "$(printf %s "$*" | tr -d ' ' | sed 's/../\\x&/g')"; }

{
    hex FFD8                                         # start of image
    hex FFE0 0010 4A46494600 0102 01 012C 012C 0000  # JFIF: dots per inch, 300 x 300
    hex FFDB 0043 00; i=0; while [ $i -lt 64 ]; do hex 01; i=$((i + 1)); done
    hex FFC0 000B 08 0008 0008 01 01 11 00           # 8x8, one grey component
    hex FFC4 0014 00 01 000000000000000000000000000000 00  # DC: one code, difference 0
    hex FFC4 0014 10 01 000000000000000000000000000000 00  # AC: one code, end of block
    hex FFDA 0008 01 01 00 00 3F 00                  # the scan
    hex 3F                                           # DC 0, end of block, padding
    hex FFD9                                         # end of image
} >sample.jpg

{
    hex 424D 46000000 00000000 36000000              # file header: 70 bytes, pixels at 54
    hex 28000000 02000000 02000000 0100 1800         # 40-byte info header: 2x2, 24 bits
    hex 00000000 10000000 C40E0000 C40E0000 00000000 00000000
    hex 0000FF 00FF00 0000                           # bottom row: red, green
    hex FF0000 FFFFFF 0000                           # top row: blue, white
} >sample.bmp
