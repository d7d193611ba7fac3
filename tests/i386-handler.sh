#!/usr/bin/env bash
# Lets Wine's 32-bit half run where the kernel runs no 32-bit x86 program
# (no IA-32 emulation): registers qemu-i386 with binfmt_misc as the handler
# of i386 ELF programs, under a name of its own. Needs root for that.
#   i386-handler.sh on    prints how 32-bit programs run: "natively",
#                         "through qemu-i386 (registered now)",
#                         "through qemu-i386 (registered before)" or, where
#                         another handler of binfmt_misc runs them, "through
#                         INTERPRETER (binfmt_misc's NAME)"
#   i386-handler.sh off   removes the handler "on" registered, if any
# VELMOR_I386_QEMU=1 registers the handler even where the kernel runs the
# programs itself, to try this path on such a machine.
set -u
fs=/proc/sys/fs/binfmt_misc
entry=$fs/velmor-i386
loader=/usr/lib/wine/wine
# The i386 ELF header (32-bit, little-endian, an executable or a shared
# object, machine 3), as binfmt_misc matches it.
magic='\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00'
mask='\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff'

runs() { "$loader" --version >/dev/null 2>&1; }

# The handler of binfmt_misc that runs the loader, if any, as "INTERPRETER
# (binfmt_misc's NAME)": an enabled entry whose magic, under its mask,
# matches the loader's first bytes. The kernel asks binfmt_misc before it
# runs an ELF program itself.
handler() {
    local e magic mask off bytes i m
    mountpoint -q "$fs" || return 0
    for e in "$fs"/*; do
        [ "$(head -n 1 "$e" 2>/dev/null)" = enabled ] || continue
        magic=$(sed -n 's/^magic //p' "$e") mask=$(sed -n 's/^mask //p' "$e") off=$(sed -n 's/^offset //p' "$e")
        [ -n "$magic" ] || continue  # an entry for a file name ending
        bytes=$(od -An -v -tx1 -j "${off:-0}" -N $((${#magic} / 2)) "$loader" | tr -d ' \n')
        for ((i = 0; i < ${#magic}; i += 2)); do
            m=0x${mask:i:2}; [ -n "$mask" ] || m=0xff
            (((0x${bytes:i:2} & m) == (0x${magic:i:2} & m))) || continue 2
        done
        echo "$(sed -n 's/^interpreter //p' "$e") (binfmt_misc's ${e##*/})"
        return 0
    done
}

case ${1-} in
on)
    [ -x "$loader" ] || { echo "no $loader: install wine32:i386"; exit 1; }
    if [ -e "$entry" ]; then echo "through qemu-i386 (registered before)"; exit 0; fi
    if [ "${VELMOR_I386_QEMU-}" != 1 ] && runs; then
        how=$(handler)
        echo "${how:+through }${how:-natively}"
        exit 0
    fi
    command -v qemu-i386 >/dev/null || { echo "no qemu-i386: install qemu-user"; exit 1; }
    if [ "$(id -u)" != 0 ]; then
        echo "32-bit x86 programs do not run here, and registering qemu-i386 needs root"
        exit 1
    fi
    mountpoint -q "$fs" || mount -t binfmt_misc binfmt_misc "$fs" || exit 1
    # F: the kernel opens qemu-i386 now, so it is found from any root.
    echo ":velmor-i386:M::$magic:$mask:$(command -v qemu-i386):F" >"$fs/register" || exit 1
    runs || { echo "32-bit x86 programs do not run even through qemu-i386"; echo -1 >"$entry"; exit 1; }
    echo "through qemu-i386 (registered now)"
    ;;
off)
    [ ! -e "$entry" ] || echo -1 >"$entry"
    ;;
*)
    echo "usage: $0 on|off"; exit 2
    ;;
esac
