# Read by cpack at packaging time. Every time stamp in the archives is
# SOURCE_DATE_EPOCH: the caller's if set, else the time of the last commit,
# so that two builds of one commit give the same bytes.
if(NOT DEFINED ENV{SOURCE_DATE_EPOCH})
    # Any owner of the checkout will do: its history is only read.
    execute_process(
        COMMAND git -c safe.directory=* -C "@PROJECT_SOURCE_DIR@" log -1 --format=%ct
        OUTPUT_VARIABLE epoch OUTPUT_STRIP_TRAILING_WHITESPACE
        RESULT_VARIABLE failed ERROR_QUIET)
    if(failed OR NOT epoch MATCHES "^[0-9]+$")
        # Not a git checkout (an unpacked source archive): the time its
        # top-level CMakeLists.txt carries.
        file(TIMESTAMP "@PROJECT_SOURCE_DIR@/CMakeLists.txt" epoch "%s" UTC)
    endif()
    set(ENV{SOURCE_DATE_EPOCH} "${epoch}")
endif()
