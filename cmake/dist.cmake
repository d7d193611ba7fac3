# The dist preset: every archive users download, in build/dist/archives,
# with SHA256SUMS over them. Each program is built by the presets that
# build it alone (deb: build/release, deb-arm64: build/aarch64-release,
# zip: build/windows-release); archives.cmake then makes the tarballs from
# their installs and gathers everything.
configure_file(cmake/package-config.cmake package-config.cmake @ONLY)
set(workflows "")
foreach(preset IN ITEMS deb deb-arm64 zip)
    list(APPEND workflows COMMAND ${CMAKE_COMMAND} --workflow --preset ${preset})
endforeach()
add_custom_target(dist ALL
    ${workflows}
    COMMAND ${CMAKE_COMMAND} -D VERSION=${PROJECT_VERSION} -D OUT=${PROJECT_BINARY_DIR}
            -P ${PROJECT_SOURCE_DIR}/cmake/archives.cmake
    WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
    COMMENT "The release archives, in ${PROJECT_BINARY_DIR}/archives"
    USES_TERMINAL
    VERBATIM)
