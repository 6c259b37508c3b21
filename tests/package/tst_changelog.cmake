# Two releases (a leap day, a year's last day; items with ";", brackets, "&", "<" and code marks,
# one over two lines) become a Debian changelog that dpkg-parsechangelog reads back without a
# warning, dates and weekdays included, and release notes that make a valid AppStream metainfo.
# A heading that is not a release stops the build.
cmake_minimum_required(VERSION 3.21)
include(${SOURCE}/cmake/ZorvikChangelog.cmake)
file(REMOVE_RECURSE ${WORK})
file(WRITE ${WORK}/CHANGELOG.md "# Changelog

Anything before the first release is an introduction.

## 3.0.1 - 2028-02-29

- Fixed; the [Reports] folder & <marks> in `code`,
  written over two lines.
- A second change.

## 3.0 - 1999-12-31
- The first.
")
function(expect what actual expected)
    if(NOT actual STREQUAL expected)
        message(SEND_ERROR "${what}: '${actual}', expected '${expected}'")
    endif()
endfunction()

zorvik_changelog_read(${WORK}/CHANGELOG.md)
expect("versions" "${ZORVIK_CHANGELOG_VERSIONS}" "3.0.1;3.0")
zorvik_changelog_debian(${WORK}/changelog.Debian zorvik 2 "Tester <tester@orvane.rs>")
foreach(entry 0 1)
    foreach(field Version Date Timestamp Maintainer Changes)
        execute_process(COMMAND dpkg-parsechangelog -l ${WORK}/changelog.Debian --offset ${entry} --count 1
                                -S ${field}
                        OUTPUT_VARIABLE value ERROR_VARIABLE warnings RESULT_VARIABLE rc OUTPUT_STRIP_TRAILING_WHITESPACE)
        expect("dpkg-parsechangelog ${field} of entry ${entry} (${warnings})" "${rc}${warnings}" "0")
        set(${field}_${entry} "${value}")
    endforeach()
endforeach()
expect("version" "${Version_0}" "3.0.1-2")
expect("date" "${Date_0}" "Tue, 29 Feb 2028 00:00:00 +0000")
expect("epoch" "${Timestamp_0}" "${ZORVIK_CHANGELOG_3.0.1_EPOCH}")
expect("maintainer" "${Maintainer_0}" "Tester <tester@orvane.rs>")
expect("older version" "${Version_1}" "3.0-2")
expect("older date" "${Date_1}" "Fri, 31 Dec 1999 00:00:00 +0000")
expect("older epoch" "${Timestamp_1}" "946598400")
string(REGEX REPLACE "[ \n]+" " " changes "${Changes_0}")
if(NOT changes MATCHES "\\* Fixed; the \\[Reports\\] folder & <marks> in code, written over two lines\\. \\* A second change\\.$")
    message(SEND_ERROR "items of 3.0.1: ${Changes_0}")
endif()

set(ZORVIK_APP_ID rs.orvane.zorvik)
set(ZORVIK_HOMEPAGE https://orvane.rs/zorvik/)
zorvik_changelog_metainfo(ZORVIK_METAINFO_RELEASES)
configure_file(${SOURCE}/resources/desktop/rs.orvane.zorvik.metainfo.xml.in ${WORK}/rs.orvane.zorvik.metainfo.xml @ONLY)
execute_process(COMMAND appstreamcli validate --pedantic --no-net ${WORK}/rs.orvane.zorvik.metainfo.xml
                OUTPUT_VARIABLE out ERROR_VARIABLE out RESULT_VARIABLE rc)
expect("appstreamcli validate (${out})" "${rc}" "0")

file(WRITE ${WORK}/bad.md "## 3.1 on 2029-01-01\n- Undated.\n")
file(WRITE ${WORK}/bad.cmake "include(${SOURCE}/cmake/ZorvikChangelog.cmake)\nzorvik_changelog_read(${WORK}/bad.md)\n")
execute_process(COMMAND ${CMAKE_COMMAND} -P ${WORK}/bad.cmake ERROR_VARIABLE out RESULT_VARIABLE rc)
# CMake wraps its messages at a width that depends on the length of the paths in them.
string(REGEX REPLACE "[ \n]+" " " out "${out}")
if(rc EQUAL 0 OR NOT out MATCHES "is not a release heading")
    message(SEND_ERROR "a heading without a date was taken: ${out}")
endif()
