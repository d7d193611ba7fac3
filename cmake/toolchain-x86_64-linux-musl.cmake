# The Linux release program: static, on musl, the C library made for
# static linking (Debian's musl-tools). g++ compiles against musl's headers
# through gcc's specs file; gcc links, so no C++ run-time library comes in:
# code that would need one (exceptions, new, iostreams) fails to link
# instead of pulling in glibc's libstdc++. The specs file drops libstdc++'s
# headers too, which is why the program includes the C headers directly.
set(VELMOR_MUSL_SPECS /usr/lib/x86_64-linux-musl/musl-gcc.specs)
if(NOT EXISTS ${VELMOR_MUSL_SPECS})
    message(FATAL_ERROR "${VELMOR_MUSL_SPECS} is missing: install musl-tools")
endif()

set(CMAKE_CXX_COMPILER g++)
set(CMAKE_CXX_FLAGS_INIT "-specs=${VELMOR_MUSL_SPECS} -fno-exceptions -fno-rtti")
set(CMAKE_CXX_LINK_EXECUTABLE
    "gcc <FLAGS> <CMAKE_CXX_LINK_FLAGS> <LINK_FLAGS> <OBJECTS> -o <TARGET> <LINK_LIBRARIES>")

# A run costs what starting the process costs, page faults most of all:
# code and read-only data share their pages (noseparate-code), and no page
# is made read-only again after start-up (norelro), which saves two or
# three of its five or six page faults (README, Performance).
set(CMAKE_EXE_LINKER_FLAGS_INIT "-Wl,-z,norelro -Wl,-z,noseparate-code")

# Tests written against the C++ library (GoogleTest, the full check) are
# not built here; the rows run against this program.
set(VELMOR_CXX_RUNTIME OFF)
