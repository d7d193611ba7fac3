# 64-bit Windows, a test target for the Windows C runtime (line ends, name
# handling, printf, code pages) that 64-bit Wine runs on any x86-64 kernel.
# Called by its path: Debian's wine wrapper picks the 32-bit loader
# whenever that is installed.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(VELMOR_MINGW_TRIPLE x86_64-w64-mingw32)
set(VELMOR_WINE /usr/lib/wine/wine64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
