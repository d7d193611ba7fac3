# 32-bit x86 Linux, where long is 32 bits as on Windows and long double is
# the x87's extended precision. Cross-built and run under qemu-user for the
# tests, which works whether or not the kernel runs 32-bit code itself.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(VELMOR_LINUX_TRIPLE i686-linux-gnu)
set(VELMOR_QEMU qemu-i386)
include(${CMAKE_CURRENT_LIST_DIR}/linux-cross.cmake)
