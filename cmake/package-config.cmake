# Read by cpack at packaging time. Every time stamp in the archives is
# SOURCE_DATE_EPOCH: the caller's if set, else the date of the newest entry
# of the changelog, as Debian's own packages take it. A clone and an
# unpacked source tree without .git hold the same changelog, so both give
# the same bytes.
if(NOT DEFINED ENV{SOURCE_DATE_EPOCH})
    # The trailer of the newest entry: " -- NAME <MAIL>  Tue, 08 Dec 2026 07:07:51 +0000".
    file(STRINGS "@PROJECT_SOURCE_DIR@/cmake/deb/changelog" trailer REGEX "^ -- .*>  " LIMIT_COUNT 1)
    if(NOT trailer MATCHES "([0-9]+) ([A-Z][a-z][a-z]) ([0-9]+) ([0-9]+):([0-9]+):([0-9]+) ([-+])([0-9][0-9])([0-9][0-9])$")
        message(FATAL_ERROR "cmake/deb/changelog: no date in the newest entry's trailer")
    endif()
    set(day ${CMAKE_MATCH_1})
    set(year ${CMAKE_MATCH_3})
    set(clock "${CMAKE_MATCH_4} * 3600 + ${CMAKE_MATCH_5} * 60 + ${CMAKE_MATCH_6}")
    set(offset "${CMAKE_MATCH_7}(${CMAKE_MATCH_8} * 3600 + ${CMAKE_MATCH_9} * 60)")
    set(months Jan Feb Mar Apr May Jun Jul Aug Sep Oct Nov Dec)
    list(FIND months ${CMAKE_MATCH_2} month)
    # Days since 1970-01-01 of a date in the proleptic Gregorian calendar,
    # the year taken from March on (so that February's leap day comes
    # last), as in Howard Hinnant's days_from_civil.
    if(month LESS 2)
        math(EXPR year "${year} - 1")
        math(EXPR month "${month} + 10")
    else()
        math(EXPR month "${month} - 2")
    endif()
    math(EXPR days "${year} / 400 * 146097 + ${year} % 400 * 365 + ${year} % 400 / 4 - ${year} % 400 / 100
                    + (153 * ${month} + 2) / 5 + ${day} - 1 - 719468")
    math(EXPR epoch "${days} * 86400 + ${clock} - ${offset}")
    set(ENV{SOURCE_DATE_EPOCH} "${epoch}")
endif()
