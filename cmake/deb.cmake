# Makes the .deb from the files cpack staged (cpack's External generator
# runs this), with Debian's own dpkg-deb: files owned by root, modes from
# staged.cmake, every time stamp SOURCE_DATE_EPOCH.

# What the package holds beyond a plain install: lintian's overrides. The
# zsh completion goes where Debian's zsh looks for a package's.
configure_file(${CPACK_VELMOR_DEB_FILES}/lintian-overrides
    ${CPACK_TEMPORARY_DIRECTORY}/usr/share/lintian/overrides/velmor COPYONLY)
file(MAKE_DIRECTORY ${CPACK_TEMPORARY_DIRECTORY}/usr/share/zsh/vendor-completions)
file(RENAME ${CPACK_TEMPORARY_DIRECTORY}/usr/share/zsh/site-functions/_velmor
    ${CPACK_TEMPORARY_DIRECTORY}/usr/share/zsh/vendor-completions/_velmor)
file(REMOVE_RECURSE ${CPACK_TEMPORARY_DIRECTORY}/usr/share/zsh/site-functions)
include(${CMAKE_CURRENT_LIST_DIR}/staged.cmake)
find_program(dpkg_deb dpkg-deb REQUIRED)
set(arch ${CPACK_VELMOR_DEB_ARCH})

# Installed-Size, as dpkg-gencontrol counts it: each file in KiB, rounded
# up. Checksums of every file for dpkg --verify.
set(kib 0)
set(md5sums "")
foreach(f IN LISTS staged_files)
    file(SIZE ${CPACK_TEMPORARY_DIRECTORY}/${f} size)
    math(EXPR kib "${kib} + (${size} + 1023) / 1024")
    file(MD5 ${CPACK_TEMPORARY_DIRECTORY}/${f} md5)
    string(APPEND md5sums "${md5}  ${f}\n")
endforeach()

# The long description, as a control file holds it: each line indented by
# one space.
string(REPLACE "\n" "\n " description " ${CPACK_PACKAGE_DESCRIPTION}")
set(control "\
Package: ${CPACK_PACKAGE_NAME}
Version: ${CPACK_PACKAGE_VERSION}
Architecture: ${arch}
Maintainer: ${CPACK_PACKAGE_CONTACT}
Installed-Size: ${kib}
Section: ${CPACK_DEBIAN_PACKAGE_SECTION}
Priority: optional
Description: ${CPACK_PACKAGE_DESCRIPTION_SUMMARY}
${description}
")
file(MAKE_DIRECTORY ${CPACK_TEMPORARY_DIRECTORY}/DEBIAN)
file(WRITE ${CPACK_TEMPORARY_DIRECTORY}/DEBIAN/control "${control}")
file(WRITE ${CPACK_TEMPORARY_DIRECTORY}/DEBIAN/md5sums "${md5sums}")
# The control files, too, get the common modes and time.
include(${CMAKE_CURRENT_LIST_DIR}/staged.cmake)

set(debfile ${CPACK_TOPLEVEL_DIRECTORY}/${CPACK_PACKAGE_NAME}_${CPACK_PACKAGE_VERSION}_${arch}.deb)
execute_process(COMMAND ${dpkg_deb} --root-owner-group -Zxz --build ${CPACK_TEMPORARY_DIRECTORY} ${debfile}
    COMMAND_ERROR_IS_FATAL ANY)
set(CPACK_EXTERNAL_BUILT_PACKAGES ${debfile})
