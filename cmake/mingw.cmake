# What the Windows toolchain files share: MinGW-w64 for the triple in
# VELMOR_MINGW_TRIPLE, a self-contained program, reproducible bytes, and
# tests run by the Wine loader in VELMOR_WINE.
set(CMAKE_SYSTEM_NAME Windows)

# The posix thread model: the full check uses std::thread.
set(CMAKE_C_COMPILER ${VELMOR_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VELMOR_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${VELMOR_MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${VELMOR_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Self-contained: the C++ and GCC run-time libraries linked in, so the .exe
# needs no MinGW DLL beside it. The linker would write the time of the
# build into the PE header; without it two builds give the same bytes.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -Wl,--no-insert-timestamp")

# Each build folder has a Wine prefix of its own. Wine stays quiet on
# standard error and installs no .NET or HTML engine. It turns the Unix
# arguments into UTF-16 by the caller's locale, which in a bare root, a
# container or a service is C, with no Ω: the tests set a UTF-8 one
# themselves. Where 32-bit x86 code runs through qemu-i386, a 2 GiB guest
# address space reserved up front lets Wine map its shared user data at
# 0x7ffe0000 and keeps qemu's search for free memory short (with 4 GiB a
# run takes a minute, with this under a second); a kernel that runs the
# code itself ignores the variable.
set(VELMOR_WINE_ENV
    WINEPREFIX=${CMAKE_BINARY_DIR}/wine
    WINEDEBUG=-all
    WINEDLLOVERRIDES=mscoree,mshtml=
    LC_ALL=C.UTF-8
    QEMU_RESERVED_VA=0x7fff0000)
set(CMAKE_CROSSCOMPILING_EMULATOR env ${VELMOR_WINE_ENV} ${VELMOR_WINE})
