# Static analysis of the program's sources, both analysers with zero
# findings allowed:  cmake --build --preset dev --target lint
# Building and testing need neither: where one is missing, lint says what
# to install and fails, and everything else goes on.
find_program(VELMOR_CLANG_TIDY clang-tidy)
find_program(VELMOR_CPPCHECK cppcheck)
if(NOT VELMOR_CLANG_TIDY OR NOT VELMOR_CPPCHECK)
    add_custom_target(lint
        COMMAND ${CMAKE_COMMAND} -E echo
                "lint needs clang-tidy and cppcheck (Debian: apt install clang-tidy cppcheck)"
        COMMAND ${CMAKE_COMMAND} -E false
        VERBATIM)
    return()
endif()
# clang-tidy counts what it left unsaid in the system's headers ("53700
# warnings generated.") even with --quiet: those lines alone are dropped,
# and its status kept.
set(tidy bash -c "\"$@\" 2>&1 | { grep -v '^[0-9]* warnings\\? generated\\.$' || true$<SEMICOLON> }$<SEMICOLON> exit \${PIPESTATUS[0]}"
    clang-tidy ${VELMOR_CLANG_TIDY})
set(lint_sources
    ${PROJECT_SOURCE_DIR}/src/velmor.cpp
    ${PROJECT_SOURCE_DIR}/src/jpg.cpp
    ${PROJECT_SOURCE_DIR}/src/bmp.cpp
    ${PROJECT_SOURCE_DIR}/src/posix.cpp
    ${PROJECT_SOURCE_DIR}/src/winrules.cpp)
# The Windows units, where MinGW-w64's headers are installed: checked as
# the 64-bit and the 32-bit build see it.
set(windows_sources ${PROJECT_SOURCE_DIR}/src/windows.cpp ${PROJECT_SOURCE_DIR}/src/explorer.cpp)
set(lint_windows "")
foreach(triple x86_64-w64-mingw32 i686-w64-mingw32)
    if(EXISTS /usr/${triple}/include/windows.h)
        list(APPEND lint_windows
            COMMAND ${tidy} --quiet ${windows_sources} --
                    -std=c++17 --target=${triple} -isystem /usr/${triple}/include
                    -I ${PROJECT_SOURCE_DIR}/src -I ${PROJECT_BINARY_DIR}/src)
    endif()
endforeach()
if(lint_windows)
    list(APPEND lint_windows
        COMMAND ${VELMOR_CPPCHECK} --enable=warning,style,performance,portability
                --std=c++17 --error-exitcode=1 --quiet -D_WIN32
                --library=${PROJECT_SOURCE_DIR}/cmake/cppcheck.cfg
                -I ${PROJECT_SOURCE_DIR}/src -I ${PROJECT_BINARY_DIR}/src
                ${windows_sources})
endif()
add_custom_target(lint
    COMMAND ${tidy} -p ${PROJECT_BINARY_DIR} --quiet ${lint_sources}
    COMMAND ${VELMOR_CPPCHECK} --enable=warning,style,performance,portability
            --std=c++17 --error-exitcode=1 --quiet
            --library=${PROJECT_SOURCE_DIR}/cmake/cppcheck.cfg
            -I ${PROJECT_SOURCE_DIR}/src -I ${PROJECT_BINARY_DIR}/src ${lint_sources}
    ${lint_windows}
    DEPENDS velmor
    COMMENT "clang-tidy and cppcheck"
    VERBATIM)
