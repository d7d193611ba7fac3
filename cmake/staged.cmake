# Included by the package scripts: sets every file and folder cpack staged
# in CPACK_TEMPORARY_DIRECTORY to one mode pattern (owner may write, all may
# read, and search or run where anyone could) and to the time
# SOURCE_DATE_EPOCH, so that neither the umask nor the time of the build
# reaches the archive. Leaves the staged files, sorted, in staged_files.
execute_process(COMMAND chmod -R u+rwX,go=rX,go-w ${CPACK_TEMPORARY_DIRECTORY}
    COMMAND_ERROR_IS_FATAL ANY)
execute_process(COMMAND find ${CPACK_TEMPORARY_DIRECTORY} -exec touch -h -d @$ENV{SOURCE_DATE_EPOCH} {} +
    COMMAND_ERROR_IS_FATAL ANY)
file(GLOB_RECURSE staged_files LIST_DIRECTORIES false RELATIVE ${CPACK_TEMPORARY_DIRECTORY}
    ${CPACK_TEMPORARY_DIRECTORY}/*)
list(SORT staged_files)
