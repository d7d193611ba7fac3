# velmor's behaviour, one row per case, read by run-row.sh:
#
#   row NAME WHERE SETUP COMMAND OUTPUT STATUS
#
# WHERE is "all"; "smoke" for the rows that also make the quick set (one
# for each kind of line and status), which run everywhere too; "posix"
# for rows that need POSIX facilities (other users, /dev/full, closed
# descriptors, symbolic links, raw byte names, a named pipe; under Wine,
# /dev/full is a full disk to the one row that runs there), "smoke-posix"
# for one of those in the quick set; or "windows" for rows that
# need a Windows system (a System32 folder, a named pipe, Windows' forms of
# a path, an exact command line).
# SETUP runs in an empty folder: jfif FILE UNITS X Y and bmp FILE X Y write
# headers (fields in hex, as stored), bytes FILE HEX writes raw bytes,
# cut_to FILE N keeps N bytes, device NAME FILE makes Wine's DOS device
# NAME read FILE, windows_file FOLDER NAME FILE puts a file in Wine's
# C:\Windows\FOLDER, share SERVER SHARE makes the folder Wine's
# \\SERVER\SHARE, copy_program FOLDER puts the program in FOLDER as
# velmor.exe. COMMAND runs with "velmor" standing for the program; $(here)
# and $(program) are the folder and the program as Windows names them,
# run_line PROGRAM LINE runs a program by an exact command line, in which
# {XXXX} stands for a UTF-16 unit. OUTPUT is its whole standard output
# (printf %b escapes).

J72='jfif a.jpg 01 0048 0048'

# Command line
row usage-no-argument      smoke  ''                   'velmor'                        "$USAGE"  0
row usage-two-arguments    all "$J72"               'velmor a.jpg a.jpg'            "$USAGE"  0
row usage-three-arguments  all ''                   'velmor a b c'                  "$USAGE"  0
row name-upper-case        all 'jfif PHOTO.JPG 01 0048 0048' 'velmor PHOTO.JPG'     'x= 72 DPI, y= 72 DPI\n'  0
row name-mixed-case-jpeg   all 'jfif a.Jpeg 01 012C 0096'    'velmor a.Jpeg'        'x= 300 DPI, y= 150 DPI\n'  0
row name-upper-case-bmp    all 'bmp scan.BMP 130B0000 130B0000' 'velmor scan.BMP'   'x= 72 DPI, y= 72 DPI\n'  0
row name-only-jpg          all 'jfif .jpg 01 0048 0048'      'velmor .jpg'          'x= 72 DPI, y= 72 DPI\n'  0
row name-only-jpeg         all 'jfif .jpeg 01 0048 0048'     'velmor .jpeg'         'x= 72 DPI, y= 72 DPI\n'  0
row name-only-bmp          all 'bmp .bmp C40E0000 C40E0000'  'velmor .bmp'          'x= 96 DPI, y= 96 DPI\n'  0
row refused-jpg-no-dot     all ''                   'velmor jpg'                    'File: jpg - must end in .jpg, .jpeg or .bmp\n\n'  1
row refused-jpe            all 'jfif x.jpe 01 0048 0048'     'velmor x.jpe'         'File: x.jpe - must end in .jpg, .jpeg or .bmp\n\n'  1
row refused-tif            smoke  ''                   'velmor x.tif'                  'File: x.tif - must end in .jpg, .jpeg or .bmp\n\n'  1
row refused-bmp-txt        all ''                   'velmor x.bmp.txt'              'File: x.bmp.txt - must end in .jpg, .jpeg or .bmp\n\n'  1
row refused-trailing-blank all "$J72"               'velmor "a.jpg "'               'File: a.jpg  - must end in .jpg, .jpeg or .bmp\n\n'  1
row refused-empty-name     all ''                   'velmor ""'                     'File:  - must end in .jpg, .jpeg or .bmp\n\n'  1
row refused-long-name      all ''                   'velmor "$(long 5000).tif"'     "File: $(long 5000).tif - must end in .jpg, .jpeg or .bmp\n\n"  1
row missing-file           smoke  ''                   'velmor a.jpg'                  'File a.jpg - not found.\n'  1
row missing-long-name      all ''                   'velmor "$(long 4996).jpg"'     "File $(long 4996).jpg - not found.\n"  1
row percent-name-missing   all ''                   'velmor "a%n%s.jpg"'            'File a%n%s.jpg - not found.\n'  1
row percent-name-refused   all ''                   'velmor "a%n%s%d.txt"'          'File: a%n%s%d.txt - must end in .jpg, .jpeg or .bmp\n\n'  1
row percent-name-read      all 'jfif a%n.jpg 01 0048 0048'   'velmor "a%n.jpg"'     'x= 72 DPI, y= 72 DPI\n'  0
row name-greek             smoke  'jfif Ω.jpg 01 0048 0048'   'velmor Ω.jpg'         'x= 72 DPI, y= 72 DPI\n'  0
row name-greek-missing    all 'jfif O.jpg 01 0048 0048'     'velmor Ω.jpg'         'File Ω.jpg - not found.\n'  1
row name-latin            all 'bmp café.bmp C40E0000 C40E0000' 'velmor café.bmp'    'x= 96 DPI, y= 96 DPI\n'  0
row device-con            all ''                   'velmor CON.jpg </dev/null'     'File CON.jpg - not found.\n'  1
row device-nul            all ''                   'velmor NUL.bmp </dev/null'     'File NUL.bmp - not found.\n'  1
row device-com1           all ''                   'velmor COM1.jpg </dev/null'    'File COM1.jpg - not found.\n'  1
row device-aux            all ''                   'velmor AUX.bmp </dev/null'     'File AUX.bmp - not found.\n'  1
row device-com9-unopened   all 'jfif h.jpg 01 0048 0048; device com9 h.jpg' 'velmor COM9.jpg' 'File COM9.jpg - not found.\n'  1
row device-lpt8-blank      all 'jfif h.jpg 01 0048 0048; device lpt8 h.jpg' 'velmor "lpt8 .Jpeg"' 'File lpt8 .Jpeg - not found.\n'  1
row device-in-folder       all 'jfif h.jpg 01 0048 0048; device com7 h.jpg; mkdir sub' 'velmor sub/com7.bmp' 'File sub/com7.bmp - not found.\n'  1
row device-colon           all 'jfif h.jpg 01 0048 0048; device com6 h.jpg' 'velmor COM6:.jpg' 'File COM6:.jpg - not found.\n'  1
row device-colon-in-folder all 'jfif h.jpg 01 0048 0048; device lpt5 h.jpg; mkdir sub' 'velmor "sub\\LPT5 :x.bmp"' 'File sub\\LPT5 :x.bmp - not found.\n'  1
row namespace-drive-read   windows "$J72" 'velmor "\\\\.\\$(here)\\a.jpg"' 'x= 72 DPI, y= 72 DPI\n'  0
row namespace-doubled-read windows "$J72" 'velmor "\\\\.\\\\$(here)\\.\\a.jpg"' 'x= 72 DPI, y= 72 DPI\n'  0
row verbatim-com1-read     windows 'jfif COM1.jpg 01 012C 012C; jfif h.jpg 01 0048 0048; device com1 h.jpg' 'velmor "\\\\?\\$(here)\\COM1.jpg"' 'x= 300 DPI, y= 300 DPI\n'  0
row share-com2-read        windows 'jfif COM2.jpg 01 012C 012C; jfif h.jpg 01 0048 0048; device com2 h.jpg; share velmor-row photos' 'velmor "\\\\velmor-row\\photos\\COM2.jpg"' 'x= 300 DPI, y= 300 DPI\n'  0
row pipe-not-connected     windows ''               'pipe_watch velmor-row.jpg "\\\\.\\pipe\\velmor-row.jpg"' 'File \\\\.\\pipe\\velmor-row.jpg - not found.\n'  1
row system32-not-syswow64  windows 'jfif s.jpg 01 012C 012C; jfif w.jpg 01 0048 0048; windows_file system32 velmor-wow64.jpg s.jpg; windows_file syswow64 velmor-wow64.jpg w.jpg' 'velmor "C:\\windows\\system32\\velmor-wow64.jpg"' 'x= 300 DPI, y= 300 DPI\n'  0
row wildcard-not-expanded  all "$J72; jfif b.jpg 01 0048 0048" 'velmor "*.jpg"'     'File *.jpg - not found.\n'  1
row command-line-quoted-folder windows "$J72; copy_program 'Program Files'" 'run_line "$(here)\\Program Files\\velmor.exe" "\"$(here)\\Program Files\"\\velmor.exe a.jpg"' 'x= 72 DPI, y= 72 DPI\n'  0
row command-line-glued-name windows "$J72; copy_program 'Program Files'" 'run_line "$(here)\\Program Files\\velmor.exe" "\"$(here)\\Program Files\\velmor.exe\"a.jpg"' "$USAGE"  0
row name-lone-surrogate    windows ''               'run_line "$(program)" "velmor a{D800}b.jpg"' 'File a\xEF\xBF\xBDb.jpg - not found.\n'  1

# JFIF density
row jfif-dpi-72            all "$J72"                        'velmor a.jpg'         'x= 72 DPI, y= 72 DPI\n'  0
row jfif-dpi-x-then-y      all 'jfif a.jpg 01 012C 0096'     'velmor a.jpg'         'x= 300 DPI, y= 150 DPI\n'  0
row jfif-dpi-zero          all 'jfif a.jpg 01 0000 0000'     'velmor a.jpg'         'x= 0 DPI, y= 0 DPI\n'  0
row jfif-dpi-high-bytes    all 'jfif a.jpg 01 FFFF 8000'     'velmor a.jpg'         'x= 65535 DPI, y= 32768 DPI\n'  0
row jfif-dpcm-118          smoke  'jfif a.jpg 02 0076 0076'     'velmor a.jpg'         'x= 299 DPI, y= 299 DPI (11800PPM,11800PPM)\n'  0
row jfif-dpcm-zero         all 'jfif a.jpg 02 0000 0000'     'velmor a.jpg'         'x= 0 DPI, y= 0 DPI (0PPM,0PPM)\n'  0
row jfif-dpcm-small        all 'jfif a.jpg 02 0001 0032'     'velmor a.jpg'         'x= 2 DPI, y= 127 DPI (100PPM,5000PPM)\n'  0
row jfif-dpcm-high-bytes   all 'jfif a.jpg 02 FFFF 00FF'     'velmor a.jpg'         'x= 166458 DPI, y= 647 DPI (6553500PPM,25500PPM)\n'  0
row jfif-unspecified       smoke  'jfif a.jpg 00 0048 0048'     'velmor a.jpg'         'Unspecified\n'  0
row jfif-units-3           smoke  'jfif a.jpg 03 0048 0048'     'velmor a.jpg'         'Unknown DPI type.\n'  1
row jfif-units-255         all 'jfif a.jpg FF 0048 0048'     'velmor a.jpg'         'Unknown DPI type.\n'  1
row jfif-exif-first        smoke  'bytes a.jpg FFD8FFE1 0008 457869660000 FFE00010 4A46494600 0102 01 0048 0048 0000 FFDB0043' 'velmor a.jpg' 'Unrecognized JPEG format.\n'  0
row jfif-any-first-bytes   all 'bytes a.jpg 000000000000 4A46494600 0101 01 0060 0060 0000 000000000000000000000000' 'velmor a.jpg' 'x= 96 DPI, y= 96 DPI\n'  0
row jfif-jfxx              all 'bytes a.jpg FFD8FFE00010 4A46585800 0101 01 0048 0048 0000 000000000000000000000000' 'velmor a.jpg' 'Unrecognized JPEG format.\n'  0
row jfif-no-zero-after     all 'bytes a.jpg FFD8FFE00010 4A46494658 0101 01 0048 0048 0000 000000000000000000000000' 'velmor a.jpg' 'Unrecognized JPEG format.\n'  0
row jfif-lower-case        all 'bytes a.jpg FFD8FFE00010 6A66696600 0101 01 0048 0048 0000 000000000000000000000000' 'velmor a.jpg' 'Unrecognized JPEG format.\n'  0
row jfif-bitmap-named-jpg  all 'bmp a.jpg 130B0000 130B0000' 'velmor a.jpg'         'Unrecognized JPEG format.\n'  0
row jfif-30-bytes          all "$J72; cut_to a.jpg 30"       'velmor a.jpg'         'x= 72 DPI, y= 72 DPI\n'  0
row jfif-29-bytes          smoke  "$J72; cut_to a.jpg 29"       'velmor a.jpg'         "Can't read file: a.jpg\n"  1
row jfif-long-file         all "$J72; bytes a.jpg $(printf '00%.0s' {1..200}) FFD9" 'velmor a.jpg' 'x= 72 DPI, y= 72 DPI\n'  0

# Bitmap resolution
row bmp-72                 all 'bmp a.bmp 130B0000 130B0000' 'velmor a.bmp'         'x= 72 DPI, y= 72 DPI\n'  0
row bmp-96-high-byte       smoke  'bmp a.bmp C40E0000 C30E0000' 'velmor a.bmp'         'x= 96 DPI, y= 96 DPI\n'  0
row bmp-100-300            all 'bmp a.bmp 610F0000 232E0000' 'velmor a.bmp'         'x= 100 DPI, y= 300 DPI\n'  0
row bmp-1000-zero          all 'bmp a.bmp CA990000 00000000' 'velmor a.bmp'         'x= 1000 DPI, y= 0 DPI\n'  0
row bmp-halves-down        all 'bmp a.bmp C4090000 4C1D0000' 'velmor a.bmp'         'x= 63 DPI, y= 190 DPI\n'  0
row bmp-exact-127          all 'bmp a.bmp 88130000 88130000' 'velmor a.bmp'         'x= 127 DPI, y= 127 DPI\n'  0
row bmp-x-then-y           all 'bmp a.bmp C40E0000 130B0000' 'velmor a.bmp'         'x= 96 DPI, y= 72 DPI\n'  0
row bmp-negative           all 'bmp a.bmp FFFFFFFF 3CF1FFFF' 'velmor a.bmp'         'x= 0 DPI, y= -95 DPI\n'  0
row bmp-negative-half      all 'bmp a.bmp 3CF6FFFF ECFFFFFF' 'velmor a.bmp'         'x= -62 DPI, y= 0 DPI\n'  0
row bmp-extremes           all 'bmp a.bmp FFFFFF7F 00000080' 'velmor a.bmp'         'x= 54546085 DPI, y= -54546084 DPI\n'  0
row bmp-size-bytes-ignored all 'bmp a.bmp 130B0000 130B0000; printf "\x01\x02" | dd of=a.bmp bs=1 seek=16 conv=notrunc status=none' 'velmor a.bmp' 'x= 72 DPI, y= 72 DPI\n'  0
row bmp-v4-header          smoke  'bmp a.bmp 130B0000 130B0000; printf "\x6C" | dd of=a.bmp bs=1 seek=14 conv=notrunc status=none' 'velmor a.bmp' 'Unsupported BMP header type.\n'  0
row bmp-v5-header          all 'bmp a.bmp 130B0000 130B0000; printf "\x7C" | dd of=a.bmp bs=1 seek=14 conv=notrunc status=none' 'velmor a.bmp' 'Unsupported BMP header type.\n'  0
row bmp-core-header        all 'bmp a.bmp 130B0000 130B0000; printf "\x0C" | dd of=a.bmp bs=1 seek=14 conv=notrunc status=none' 'velmor a.bmp' 'Unsupported BMP header type.\n'  0
row bmp-size-byte-15       all 'bmp a.bmp 130B0000 130B0000; printf "\x01" | dd of=a.bmp bs=1 seek=15 conv=notrunc status=none' 'velmor a.bmp' 'Unsupported BMP header type.\n'  0
row bmp-lower-case-bm      all 'bmp a.bmp 130B0000 130B0000; printf "bm" | dd of=a.bmp bs=1 conv=notrunc status=none' 'velmor a.bmp' 'Unsupported BMP header type.\n'  0
row bmp-jpeg-named-bmp     all 'jfif a.bmp 01 0048 0048; bytes a.bmp 0000000000000000000000000000000000000000000000000000' 'velmor a.bmp' 'Unsupported BMP header type.\n'  0
row bmp-54-bytes           all 'bmp a.bmp 130B0000 130B0000; cut_to a.bmp 54' 'velmor a.bmp' 'x= 72 DPI, y= 72 DPI\n'  0
row bmp-53-bytes           all 'bmp a.bmp 130B0000 130B0000; cut_to a.bmp 53' 'velmor a.bmp' "Can't read file: a.bmp\n"  1

# Bad input, hostile surroundings
row empty-file             all ': >a.jpg'                    'velmor a.jpg'         "Can't read file: a.jpg\n"  1
row read-only-for-user     posix "$J72; chmod 444 a.jpg"     'velmor_unprivileged a.jpg' 'x= 72 DPI, y= 72 DPI\n'  0
row unreadable-for-user    posix "$J72; chmod 200 a.jpg"     'velmor_unprivileged a.jpg' 'File a.jpg - not found.\n'  1
row stdout-full            all "$J72"                        'velmor a.jpg >/dev/full'  ''  1
row stdout-full-usage      posix ''                          'velmor >/dev/full'    ''  1
row stdout-full-crash      posix ''                          'velmor a.tif >/dev/full'  ''  1
row stdout-closed          posix "$J72"                      'velmor a.jpg >&-'     ''  1
row stdout-closed-crash    posix 'jfif a.jpg 03 0048 0048'   'velmor a.jpg >&-'     ''  1
row stdout-closed-bmp      posix 'bmp a.bmp 130B0000 130B0000' 'velmor a.bmp >&-'   ''  1
# Standard output a pipe whose reader has gone (a FIFO opened both ways,
# then for writing, then closed for reading): SIGPIPE as a program starts
# with it, whatever the runner's was, ends velmor; ignored, status 1.
row stdout-reader-gone     posix "$J72; mkfifo p"            '(exec 3<>p 4>p 3<&- && env --default-signal=PIPE "${VELMOR[@]}" a.jpg >&4)'  ''  141
row stdout-reader-gone-ignored posix "$J72; mkfifo p"        '(trap "" PIPE && exec 3<>p 4>p 3<&- && velmor a.jpg >&4)'  ''  1
row directory-named-jpg    all 'mkdir x.jpg'                 'velmor x.jpg'         'File x.jpg - not found.\n'  1
row dangling-link          posix 'ln -s missing.bmp x.bmp'   'velmor x.bmp'         'File x.bmp - not found.\n'  1
row path-through-file      all ': >notes.txt'                'velmor notes.txt/x.jpg' 'File notes.txt/x.jpg - not found.\n'  1
row dev-null-behind-link   posix 'ln -s /dev/null x.bmp'     'velmor x.bmp'         "Can't read file: x.bmp\n"  1
row named-pipe             smoke-posix 'mkfifo x.jpg'              'velmor x.jpg'         'Seek failed.\n'  1
row name-100000            posix ''                          'velmor "$(long 99996).jpg"' "File $(long 99996).jpg - not found.\n"  1
row name-percent-s-n       all 'jfif %s%n.bmp.jpg 02 0076 0076' 'velmor %s%n.bmp.jpg' 'x= 299 DPI, y= 299 DPI (11800PPM,11800PPM)\n'  0
row name-newline           posix $'jfif "a\nb.jpg" 01 0048 0048' $'velmor "a\nb.jpg"' 'x= 72 DPI, y= 72 DPI\n'  0
row name-newline-missing   posix ''                          $'velmor "a\nb.jpg"'   'File a\nb.jpg - not found.\n'  1
row name-high-bytes        posix $'jfif "\xC3\xA9t\xE9\xFF.jpg" 01 0048 0048' $'velmor "\xC3\xA9t\xE9\xFF.jpg"' 'x= 72 DPI, y= 72 DPI\n'  0
row name-high-bytes-missing posix ''                         $'velmor "\xC3\xA9t\xE9\xFF.JPEG"' 'File \xC3\xA9t\xE9\xFF.JPEG - not found.\n'  1
row sparse-2gib-bmp        all 'truncate -s 2G big.bmp'      'velmor big.bmp'       'Unsupported BMP header type.\n'  0
row sparse-2gib-jfif       all "$J72; truncate -s 2G a.jpg"  'velmor a.jpg'         'x= 72 DPI, y= 72 DPI\n'  0
