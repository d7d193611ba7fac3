# What `cmake --install` and the packages ship.
include(GNUInstallDirs)

if(WIN32)
    # The Windows archive: the program and its README side by side.
    install(TARGETS velmor RUNTIME DESTINATION .)
    install(FILES README.md DESTINATION .)
else()
    configure_file(man/velmor.1.in velmor.1 @ONLY)
    install(TARGETS velmor RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
    install(FILES ${PROJECT_BINARY_DIR}/velmor.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
    install(FILES README.md DESTINATION ${CMAKE_INSTALL_DOCDIR})
endif()

# Packages: a .deb on Linux, a .zip on Windows, both named with the
# project's version.
set(CPACK_PACKAGE_NAME velmor)
set(CPACK_PACKAGE_VENDOR "the velmor developers")
set(CPACK_PACKAGE_CONTACT "the velmor developers <velmor@users.noreply.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DIRECTORY ${PROJECT_BINARY_DIR}/packages)
set(CPACK_STRIP_FILES ON)
if(WIN32)
    set(CPACK_GENERATOR ZIP)
    set(CPACK_SYSTEM_NAME win32)
    set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
else()
    set(CPACK_GENERATOR DEB)
    set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
    set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
    set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
endif()
include(CPack)
