# Whether the program is static, and the C library of the release program
# (VELMOR_RELEASE, set by the release presets): chosen on any host with a
# C++17 compiler, without a fatal error, and said in one line.
#
# - musl, static, where it is installed for the compiler's target: the C
#   library made for static linking, and the fastest start
#   (doc/performance.md). gcc compiles against musl's headers through its specs
#   file, which Debian's musl-tools (musl-dev:ARCH for another target)
#   keeps in /usr/lib/TRIPLET-musl and musl's own install names in its
#   musl-gcc script. gcc links, so no C++ run-time library comes in: code
#   that would need one (exceptions, new, iostreams) fails to link instead
#   of pulling in glibc's libstdc++. The specs drop libstdc++'s headers
#   too, which is why the program includes the C headers directly.
# - otherwise the system's own C library: static where the platform and the
#   installed library allow it (Linux, with glibc's static form), dynamic
#   elsewhere (macOS, the BSDs).

option(VELMOR_RELEASE "Build the release program: on musl where it is installed" OFF)
# The C library as the tarballs' names give it: musl, or gnu for glibc.
set(VELMOR_LIBC gnu CACHE INTERNAL "The release program's C library")

# The compiler's target triplet, which names musl's files for it.
set(triplet "")
if(VELMOR_RELEASE)
    execute_process(COMMAND ${CMAKE_CXX_COMPILER} -dumpmachine
        OUTPUT_VARIABLE triplet OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
endif()
set(specs "")
if(VELMOR_RELEASE AND CMAKE_SYSTEM_NAME STREQUAL "Linux" AND CMAKE_CXX_COMPILER_ID STREQUAL "GNU"
   AND NOT triplet MATCHES "musl")
    # x86_64-linux-gnu: x86_64-linux-musl; arm-linux-gnueabihf:
    # arm-linux-musleabihf.
    string(REGEX REPLACE "-gnu([a-z]*)$" "-musl\\1" musl_triplet "${triplet}")
    if(EXISTS /usr/lib/${musl_triplet}/musl-gcc.specs)
        set(specs /usr/lib/${musl_triplet}/musl-gcc.specs)
    elseif(NOT CMAKE_CROSSCOMPILING)
        find_program(VELMOR_MUSL_GCC musl-gcc)
        if(VELMOR_MUSL_GCC)
            file(STRINGS ${VELMOR_MUSL_GCC} line REGEX "musl-gcc\\.specs" LIMIT_COUNT 1)
            string(REGEX MATCH "[^\"' ]*musl-gcc\\.specs" specs "${line}")
        endif()
    endif()
    # The C driver of the same compiler, to link with.
    get_filename_component(bin ${CMAKE_CXX_COMPILER} DIRECTORY)
    find_program(VELMOR_GCC NAMES ${triplet}-gcc gcc HINTS ${bin} NO_DEFAULT_PATH)
    find_program(VELMOR_GCC NAMES ${triplet}-gcc gcc)
    if(NOT VELMOR_GCC OR NOT EXISTS "${specs}")
        set(specs "")
    endif()
endif()

# Most of a run is the start of the process: linked statically, the
# program needs no dynamic loader and maps no shared library. Static by
# default on musl, and on Linux and Windows where the C library's static
# form is installed (not so on Fedora without glibc-static, say).
if(specs)
    set(static_default ON)
elseif(CMAKE_SYSTEM_NAME MATCHES "^(Linux|Windows)$" AND NOT MSVC AND NOT DEFINED VELMOR_STATIC)
    # Asked quietly: a failure is an answer, which the line below says in
    # words.
    include(CheckCXXSourceCompiles)
    set(CMAKE_REQUIRED_LINK_OPTIONS -static)
    set(CMAKE_REQUIRED_QUIET ON)
    check_cxx_source_compiles("int main() { return 0; }" VELMOR_LINKS_STATIC)
    unset(CMAKE_REQUIRED_LINK_OPTIONS)
    unset(CMAKE_REQUIRED_QUIET)
    set(static_default ${VELMOR_LINKS_STATIC})
else()
    set(static_default OFF)
endif()
option(VELMOR_STATIC "Link velmor statically, for a faster start" ${static_default})
# The flag that links the program statically: -static-pie where the
# release program is position-independent (below).
set(VELMOR_STATIC_FLAG -static)
if(NOT VELMOR_RELEASE OR WIN32)
    return()
endif()

set(musl_cost "3,500 instructions, 1.1 times the least a process costs")
if(specs AND VELMOR_STATIC)
    set_property(CACHE VELMOR_LIBC PROPERTY VALUE musl)
    add_compile_options(-specs=${specs} -fno-exceptions -fno-rtti)
    # A run costs what starting the process costs, page faults most of
    # all: code and read-only data share their pages (noseparate-code). No
    # page is made read-only again after start-up (norelro): musl's static
    # start never applies RELRO, so the program claims none
    # (doc/performance.md).
    add_link_options(-specs=${specs} -Wl,-z,norelro -Wl,-z,noseparate-code)
    # Position-independent, so that the kernel loads it at a random
    # address: static-pie, started by musl's rcrt1.o, which relocates the
    # program before anything else runs. musl's specs know no static-pie
    # (they would ask for its dynamic loader); a second specs file adds it.
    get_filename_component(musl_lib ${specs} DIRECTORY)
    if(EXISTS ${musl_lib}/rcrt1.o)
        file(WRITE ${PROJECT_BINARY_DIR}/static-pie.specs
            "%rename link musl_link\n\n"
            "*startfile:\n%{static-pie:${musl_lib}/rcrt1.o;!shared:${musl_lib}/Scrt1.o} "
            "${musl_lib}/crti.o crtbeginS.o%s\n\n"
            "*link:\n%{static-pie:-nostdlib -static -pie --no-dynamic-linker -z text;:%(musl_link)}\n")
        add_compile_options(-fPIE)
        add_link_options(-specs=${PROJECT_BINARY_DIR}/static-pie.specs)
        set(VELMOR_STATIC_FLAG -static-pie)
    endif()
    set(CMAKE_CXX_LINK_EXECUTABLE
        "${VELMOR_GCC} <FLAGS> <CMAKE_CXX_LINK_FLAGS> <LINK_FLAGS> <OBJECTS> -o <TARGET> <LINK_LIBRARIES>")
    # Tests written against the C++ library (GoogleTest, the full check)
    # are not built; the rows run against this program.
    set(VELMOR_CXX_RUNTIME OFF)
    message(STATUS "velmor: static on musl (${specs}): the fastest start, ${musl_cost}")
elseif(VELMOR_STATIC AND triplet MATCHES "musl")
    set_property(CACHE VELMOR_LIBC PROPERTY VALUE musl)
    message(STATUS "velmor: static on musl, this system's C library: the fastest start")
elseif(VELMOR_STATIC)
    if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
        # Debian's package: musl-tools for the host, musl-dev of the
        # target's architecture for a cross build.
        set(musl_package musl-tools)
        if(CMAKE_CROSSCOMPILING)
            string(REGEX REPLACE "^aarch64$" "arm64" deb_arch "${CMAKE_SYSTEM_PROCESSOR}")
            string(REGEX REPLACE "^x86_64$" "amd64" deb_arch "${deb_arch}")
            string(REGEX REPLACE "^i.86$" "i386" deb_arch "${deb_arch}")
            set(musl_package "musl-dev:${deb_arch}")
        endif()
        set(why "no musl was found for ${triplet} (Debian: ${musl_package})")
    else()
        set(why "musl is used through gcc, and the compiler is ${CMAKE_CXX_COMPILER_ID}")
    endif()
    message(STATUS "velmor: static on the system's C library, as ${why}: a start of about 40,000 "
                   "instructions, 2 to 12 times the CPU time of musl's ${musl_cost} (doc/performance.md)")
else()
    if(CMAKE_SYSTEM_NAME STREQUAL "Linux" AND DEFINED VELMOR_LINKS_STATIC AND NOT VELMOR_LINKS_STATIC)
        set(why "its static form is not installed (glibc-static, libc6-dev)")
    elseif(CMAKE_SYSTEM_NAME STREQUAL "Linux")
        set(why "VELMOR_STATIC is OFF")
    else()
        set(why "programs on ${CMAKE_SYSTEM_NAME} are")
    endif()
    message(STATUS "velmor: linked dynamically to the system's C library, as ${why}: "
                   "the loader maps it at every start (on Linux 113,000 "
                   "instructions, 3.4 times the CPU time of a static program on musl; doc/performance.md)")
endif()

# On glibc, the protections Debian builds its own programs with
# (dpkg-buildflags, hardening=+all), all of which glibc applies: the
# fortified string and printf functions, position-independent code, and
# RELRO with immediate binding (its static-pie start applies that too).
if(VELMOR_LIBC STREQUAL "gnu" AND CMAKE_SYSTEM_NAME STREQUAL "Linux")
    add_compile_definitions(_FORTIFY_SOURCE=2)
    add_compile_options(-fPIE)
    add_link_options(-Wl,-z,relro -Wl,-z,now)
    if(VELMOR_STATIC)
        include(CheckCXXSourceCompiles)
        set(CMAKE_REQUIRED_FLAGS -fPIE)
        set(CMAKE_REQUIRED_LINK_OPTIONS -static-pie)
        check_cxx_source_compiles("int main() { return 0; }" VELMOR_LINKS_STATIC_PIE)
        unset(CMAKE_REQUIRED_FLAGS)
        unset(CMAKE_REQUIRED_LINK_OPTIONS)
        if(VELMOR_LINKS_STATIC_PIE)
            set(VELMOR_STATIC_FLAG -static-pie)
        endif()
    else()
        add_link_options(-pie)
    endif()
endif()
