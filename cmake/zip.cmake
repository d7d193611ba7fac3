# Makes the Windows .zip from the files cpack staged (cpack's External
# generator runs this). zip -X leaves out the owner's uid and gid and the
# extra time fields, so the archive's bytes depend on its contents alone.
include(${CMAKE_CURRENT_LIST_DIR}/staged.cmake)
find_program(zip zip REQUIRED)
set(zipfile ${CPACK_TOPLEVEL_DIRECTORY}/${CPACK_PACKAGE_FILE_NAME}.zip)
file(REMOVE ${zipfile})
# Zip's DOS times are local: UTC makes them the same in every time zone.
execute_process(COMMAND ${CMAKE_COMMAND} -E env TZ=UTC ${zip} -X -D -q -9 ${zipfile} ${staged_files}
    WORKING_DIRECTORY ${CPACK_TEMPORARY_DIRECTORY} COMMAND_ERROR_IS_FATAL ANY)
set(CPACK_EXTERNAL_BUILT_PACKAGES ${zipfile})
