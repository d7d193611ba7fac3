# GoogleTest: the system's build for a native build, else built from the
# source Debian ships (/usr/src/googletest) with the cross compiler. Where
# neither is installed, GTest::gtest_main stays undefined, and the tests'
# folder says what to install.
if(NOT CMAKE_CROSSCOMPILING)
    find_package(GTest QUIET)
endif()
set(VELMOR_GTEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest source")
if(NOT TARGET GTest::gtest_main AND EXISTS ${VELMOR_GTEST_SOURCE}/CMakeLists.txt)
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
    set(gtest_disable_pthreads ${WIN32} CACHE BOOL "" FORCE)
    # Python serves only GoogleTest's own tests: not looked for, so that
    # configuring says nothing of a missing one.
    set(CMAKE_DISABLE_FIND_PACKAGE_Python ON)
    add_subdirectory(${VELMOR_GTEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
endif()
