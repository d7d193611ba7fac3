# 64-bit ARM Linux, cross-built and run under qemu-user for the tests.
set(CMAKE_SYSTEM_PROCESSOR aarch64)
set(VELMOR_LINUX_TRIPLE aarch64-linux-gnu)
set(VELMOR_QEMU qemu-aarch64)
include(${CMAKE_CURRENT_LIST_DIR}/linux-cross.cmake)
