# Static analysis of the program's sources, both analysers with zero
# findings allowed:  cmake --build --preset dev --target lint
find_program(VELMOR_CLANG_TIDY clang-tidy REQUIRED)
find_program(VELMOR_CPPCHECK cppcheck REQUIRED)
set(lint_sources
    ${PROJECT_SOURCE_DIR}/src/velmor.cpp
    ${PROJECT_SOURCE_DIR}/src/jpg.cpp
    ${PROJECT_SOURCE_DIR}/src/bmp.cpp
    ${PROJECT_SOURCE_DIR}/src/posix.cpp)
add_custom_target(lint
    COMMAND ${VELMOR_CLANG_TIDY} -p ${PROJECT_BINARY_DIR} --quiet ${lint_sources}
    COMMAND ${VELMOR_CPPCHECK} --enable=warning,style,performance,portability
            --std=c++17 --error-exitcode=1 --quiet
            --library=${PROJECT_SOURCE_DIR}/cmake/cppcheck.cfg
            -I ${PROJECT_SOURCE_DIR}/src -I ${PROJECT_BINARY_DIR}/src ${lint_sources}
    DEPENDS velmor
    COMMENT "clang-tidy and cppcheck"
    VERBATIM)
