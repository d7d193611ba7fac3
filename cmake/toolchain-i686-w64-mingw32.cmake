# 32-bit Windows console program, the one velmor ships: cross-built with
# MinGW-w64 and run under Wine's 32-bit loader for the tests.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(VELMOR_MINGW_TRIPLE i686-w64-mingw32)
set(VELMOR_WINE wine)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
