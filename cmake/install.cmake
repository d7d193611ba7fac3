# What `cmake --install` and the packages ship.
include(GNUInstallDirs)

# Folders made by an install are open to all readers whatever the umask,
# as the packages have them.
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

set(CPACK_PACKAGE_CONTACT "the velmor developers <velmor@users.noreply.invalid>")
# The packages' time stamps, read by cpack (and by the manual page below).
configure_file(cmake/package-config.cmake package-config.cmake @ONLY)

if(WIN32)
    # The Windows archive: the program, the README written for Windows
    # users and the licence side by side, both texts with CR LF line ends,
    # which Notepad shows right on every version.
    configure_file(doc/windows-readme.txt README.txt @ONLY NEWLINE_STYLE CRLF)
    configure_file(LICENSE LICENSE.txt @ONLY NEWLINE_STYLE CRLF)
    install(TARGETS velmor RUNTIME DESTINATION .)
    install(FILES ${PROJECT_BINARY_DIR}/README.txt ${PROJECT_BINARY_DIR}/LICENSE.txt DESTINATION .)
else()
    # The manual page and the changelog, compressed as Debian's policy asks:
    # gzip -9, with no name or time stamp inside.
    find_program(VELMOR_GZIP gzip REQUIRED)
    # The manual page is dated as every packaged file is: SOURCE_DATE_EPOCH,
    # by default the date of the newest changelog entry (package-config.cmake,
    # which string(TIMESTAMP) then honours).
    include(${PROJECT_BINARY_DIR}/package-config.cmake)
    string(TIMESTAMP VELMOR_MAN_DATE "%Y-%m-%d" UTC)
    configure_file(man/velmor.1.in velmor.1 @ONLY)
    configure_file(cmake/deb/changelog changelog COPYONLY)
    add_custom_command(OUTPUT velmor.1.gz changelog.gz
        COMMAND ${VELMOR_GZIP} -9nkf velmor.1 changelog
        DEPENDS ${PROJECT_BINARY_DIR}/velmor.1 ${PROJECT_BINARY_DIR}/changelog
        VERBATIM)
    add_custom_target(velmor_docs ALL DEPENDS velmor.1.gz changelog.gz)

    # The licence in Debian's machine-readable form: the text of LICENSE
    # indented by one space, its empty lines written as " .".
    file(READ LICENSE license)
    string(REGEX REPLACE "^Copyright \\(c\\) " "" copyright_holder "${VELMOR_COPYRIGHT}")
    string(REGEX REPLACE "^.*\n\n(Permission)" "\\1" license_text "${license}")
    string(STRIP "${license_text}" license_text)
    string(REPLACE "\n\n" "\n.\n" license_text "${license_text}")
    string(REPLACE "\n" "\n " license_text " ${license_text}")
    configure_file(cmake/deb/copyright.in copyright @ONLY)

    # The name of the release tarball of this build (cmake/archives.cmake).
    set(VELMOR_TARBALL velmor-${PROJECT_VERSION}-${CMAKE_SYSTEM_PROCESSOR}-linux-${VELMOR_LIBC}
        CACHE INTERNAL "The release tarball's name")

    install(TARGETS velmor RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
    install(FILES ${PROJECT_BINARY_DIR}/velmor.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
    # Completion for each shell, where that shell looks for a package's.
    # zsh looks in PREFIX/share/zsh/site-functions for the prefix it was
    # built with (on Debian /usr/local); the .deb moves the file to
    # Debian's place for packages, /usr/share/zsh/vendor-completions
    # (cmake/deb.cmake).
    install(FILES completion/velmor.bash RENAME velmor
        DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions)
    install(FILES completion/_velmor DESTINATION ${CMAKE_INSTALL_DATADIR}/zsh/site-functions)
    install(FILES completion/velmor.fish DESTINATION ${CMAKE_INSTALL_DATADIR}/fish/vendor_completions.d)
    install(FILES README.md ${PROJECT_BINARY_DIR}/copyright ${PROJECT_BINARY_DIR}/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DOCDIR})
endif()

# Packages: a .deb on Linux, a .zip on Windows, both named with the
# project's version.
set(CPACK_PACKAGE_NAME velmor)
set(CPACK_PACKAGE_VENDOR "the velmor developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
set(CPACK_PACKAGE_DESCRIPTION
"velmor reads the first 30 bytes of a JPEG file or the first 54 bytes of a
Windows bitmap and prints the resolution its header records: the JFIF
density in dots per inch (and in pixels per metre when it is stored per
centimetre), or the bitmap's pixels-per-metre fields converted to dots per
inch. It decodes no image data and never changes a file.")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DIRECTORY ${PROJECT_BINARY_DIR}/packages)
set(CPACK_STRIP_FILES ON)
set(CPACK_PROJECT_CONFIG_FILE ${PROJECT_BINARY_DIR}/package-config.cmake)
# Both archives are made from the staged files by a script of ours (cpack's
# External generator): cmake/deb.cmake with dpkg-deb, cmake/zip.cmake with
# zip.
set(CPACK_GENERATOR External)
set(CPACK_EXTERNAL_ENABLE_STAGING ON)
if(WIN32)
    set(CPACK_EXTERNAL_PACKAGE_SCRIPT ${PROJECT_SOURCE_DIR}/cmake/zip.cmake)
    set(CPACK_SYSTEM_NAME win32)
else()
    set(CPACK_EXTERNAL_PACKAGE_SCRIPT ${PROJECT_SOURCE_DIR}/cmake/deb.cmake)
    set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
    # Debian's name for the architecture the program is built for.
    if(CMAKE_SYSTEM_PROCESSOR MATCHES "^(x86_64|AMD64)$")
        set(CPACK_VELMOR_DEB_ARCH amd64)
    elseif(CMAKE_SYSTEM_PROCESSOR MATCHES "^(aarch64|arm64)$")
        set(CPACK_VELMOR_DEB_ARCH arm64)
    elseif(CMAKE_SYSTEM_PROCESSOR MATCHES "^i.86$")
        set(CPACK_VELMOR_DEB_ARCH i386)
    elseif(CMAKE_SYSTEM_PROCESSOR STREQUAL "ppc64le")
        set(CPACK_VELMOR_DEB_ARCH ppc64el)
    else()
        set(CPACK_VELMOR_DEB_ARCH ${CMAKE_SYSTEM_PROCESSOR})
    endif()
    set(CPACK_VELMOR_DEB_FILES ${PROJECT_SOURCE_DIR}/cmake/deb)
    set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
endif()
include(CPack)
