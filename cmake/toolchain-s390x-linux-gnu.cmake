# 64-bit IBM Z Linux, big-endian: the byte readers must not lean on the
# host's byte order. Cross-built and run under qemu-user for the tests.
set(CMAKE_SYSTEM_PROCESSOR s390x)
set(VELMOR_LINUX_TRIPLE s390x-linux-gnu)
set(VELMOR_QEMU qemu-s390x)
include(${CMAKE_CURRENT_LIST_DIR}/linux-cross.cmake)
