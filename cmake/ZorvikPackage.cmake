# What an installation carries besides the program (manual page, changelogs, copyright,
# AppStream metainfo) and the Debian package made by "cpack -G DEB": a stripped program with its
# debug information in a separate zorvik-dbgsym package, the same bytes from every build of the
# same sources.

set(ZORVIK_MAINTAINER "Orvane Zorvik team <zorvik@orvane.rs>" CACHE STRING
    "Maintainer of the package and of its changelog entries")
set(ZORVIK_DEBIAN_REVISION 1 CACHE STRING "Debian revision of the package version (VERSION-REVISION)")
set(ZORVIK_HOMEPAGE "https://orvane.rs/zorvik/")

# The changelog is written once, in CHANGELOG.md; the rest is made from it.
include(${CMAKE_CURRENT_LIST_DIR}/ZorvikChangelog.cmake)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/CHANGELOG.md)
zorvik_changelog_read(${PROJECT_SOURCE_DIR}/CHANGELOG.md)
list(GET ZORVIK_CHANGELOG_VERSIONS 0 _newest)
if(NOT _newest STREQUAL PROJECT_VERSION)
    message(FATAL_ERROR "CHANGELOG.md begins with release ${_newest}, not with this version "
                        "(${PROJECT_VERSION}): add its entry.")
endif()
set(ZORVIK_RELEASE_DATE ${ZORVIK_CHANGELOG_${_newest}_DATE})
# Dates that end up in the package (file times, the resources' time stamps) come from the newest
# release, as Debian's own builds take them from the newest changelog entry, unless the builder
# sets one.
if(DEFINED ENV{SOURCE_DATE_EPOCH})
    set(ZORVIK_SOURCE_DATE_EPOCH $ENV{SOURCE_DATE_EPOCH})
else()
    set(ZORVIK_SOURCE_DATE_EPOCH ${ZORVIK_CHANGELOG_${_newest}_EPOCH})
endif()
# Qt's resource compiler stamps every file it embeds with its time, or with this.
set_property(GLOBAL PROPERTY RULE_LAUNCH_CUSTOM "${CMAKE_COMMAND} -E env SOURCE_DATE_EPOCH=${ZORVIK_SOURCE_DATE_EPOCH}")

set(_out ${PROJECT_BINARY_DIR}/package)
file(MAKE_DIRECTORY ${_out})
find_program(ZORVIK_GZIP gzip REQUIRED)
# gzip -n: no name or time in the header, so the same text compresses to the same bytes.
function(_zorvik_gzip input output)
    execute_process(COMMAND ${ZORVIK_GZIP} -9 -n -c ${input} OUTPUT_FILE ${output} RESULT_VARIABLE rc)
    if(NOT rc EQUAL 0)
        message(FATAL_ERROR "gzip ${input} failed")
    endif()
endfunction()

zorvik_changelog_debian(${_out}/changelog.Debian zorvik ${ZORVIK_DEBIAN_REVISION} "${ZORVIK_MAINTAINER}")
_zorvik_gzip(${_out}/changelog.Debian ${_out}/changelog.Debian.gz)
_zorvik_gzip(${PROJECT_SOURCE_DIR}/CHANGELOG.md ${_out}/changelog.gz)
configure_file(${PROJECT_SOURCE_DIR}/resources/package/zorvik.1.in ${_out}/zorvik.1 @ONLY)
_zorvik_gzip(${_out}/zorvik.1 ${_out}/zorvik.1.gz)
zorvik_changelog_metainfo(ZORVIK_METAINFO_RELEASES)
configure_file(${PROJECT_SOURCE_DIR}/resources/desktop/${ZORVIK_APP_ID}.metainfo.xml.in
               ${_out}/${ZORVIK_APP_ID}.metainfo.xml @ONLY)

set(_doc ${CMAKE_INSTALL_DATADIR}/doc/zorvik)
install(FILES ${_out}/changelog.Debian.gz ${_out}/changelog.gz ${PROJECT_SOURCE_DIR}/resources/package/copyright
        DESTINATION ${_doc})
install(FILES ${_out}/zorvik.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${PROJECT_SOURCE_DIR}/resources/package/lintian-overrides DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides
        RENAME zorvik)
install(FILES ${_out}/${ZORVIK_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

# The Debian package.
set(CPACK_PACKAGE_NAME "zorvik")
set(CPACK_PACKAGE_VENDOR "Orvane")
set(CPACK_PACKAGE_CONTACT "${ZORVIK_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Live presence board for a time-and-attendance database")
# The summary goes first on its own; this is the extended description below it.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Zorvik sits beside a time-and-attendance system whose terminals store clockings
in a SQL Server database. It polls that database and shows every employee's
last clocking, live: on panels of employee tablets arranged by the user, in a
guests list and a presences list, in a printable Last activity report, and in
the roll call of everyone on the premises, which wardens can also tick on their
phones during a drill or an evacuation. A warning window with a looping alarm
opens when someone clocks an activity that is not allowed that day.

SQL Server is reached through unixODBC and the FreeTDS driver (tdsodbc). A demo
database (zorvik --demo) shows the program without a server.")
set(CPACK_DEBIAN_PACKAGE_RELEASE ${ZORVIK_DEBIAN_REVISION})
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${ZORVIK_HOMEPAGE}")
set(CPACK_PACKAGING_INSTALL_PREFIX "/usr")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION "misc")
set(CPACK_DEBIAN_PACKAGE_PRIORITY "optional")
set(CPACK_DEBIAN_COMPRESSION_TYPE "xz")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "tdsodbc, unixodbc")
# CPack's own dependency scan and stripping would also add ldconfig calls to the maintainer
# scripts, since a language library lies below /usr/lib; no public library is shipped, so they
# are done here instead: dependencies when cpack starts, stripping in the staged files.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS OFF)
set(CPACK_STRIP_FILES OFF)
# What the program loads at run time and no linker sees: the SQL drivers, the platform plug-ins
# and libsecret, through which QtKeychain reaches the Secret Service.
set(ZORVIK_RUNTIME_DEPENDS "libqt6sql6-sqlite, libqt6sql6-odbc, qt6-qpa-plugins, libsecret-1-0")
file(GENERATE OUTPUT ${PROJECT_BINARY_DIR}/ZorvikCPackConfig.cmake CONTENT "\
set(ZORVIK_BINARIES \"$<TARGET_FILE:zorvik>\" \"$<TARGET_FILE:Srpski>\")
set(ZORVIK_RUNTIME_DEPENDS \"${ZORVIK_RUNTIME_DEPENDS}\")
set(ZORVIK_SOURCE_DATE_EPOCH ${ZORVIK_SOURCE_DATE_EPOCH})
include(\"${CMAKE_CURRENT_LIST_DIR}/DebConfig.cmake\")
")
set(CPACK_PROJECT_CONFIG_FILE ${PROJECT_BINARY_DIR}/ZorvikCPackConfig.cmake)
set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/DebStrip.cmake)
set(CPACK_POST_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/DebDbgsym.cmake)
include(CPack)
