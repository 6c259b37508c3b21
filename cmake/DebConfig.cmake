# Read by cpack before each generator runs. For the Debian package: the libraries the program
# links, found by dpkg-shlibdeps as Debian's own packages find them, and the date every packed
# file carries.
if(NOT CPACK_GENERATOR STREQUAL "DEB")
    return()
endif()
if(NOT DEFINED ENV{SOURCE_DATE_EPOCH})
    set(ENV{SOURCE_DATE_EPOCH} ${ZORVIK_SOURCE_DATE_EPOCH})
endif()
# cpack gives the members of the .deb archive the modes of its temporary files, which follow the
# umask; dpkg-buildpackage runs with 022 for the same reason.
execute_process(COMMAND sh -c umask OUTPUT_VARIABLE _umask OUTPUT_STRIP_TRAILING_WHITESPACE)
if(NOT _umask MATCHES "^0*22$")
    message(WARNING "cpack runs with umask ${_umask}: the package installs the same, but only one made "
                    "with umask 022 is byte for byte the same as other builds (umask 022; cpack -G DEB).")
endif()

find_program(ZORVIK_SHLIBDEPS dpkg-shlibdeps REQUIRED)
set(_work ${CPACK_PACKAGE_DIRECTORY}/_CPack_Packages/shlibdeps)
file(REMOVE_RECURSE ${_work})
# dpkg-shlibdeps wants to be in a source package's folder.
file(WRITE ${_work}/debian/control "")
execute_process(COMMAND ${CMAKE_COMMAND} -E env LC_ALL=C ${ZORVIK_SHLIBDEPS} -O ${ZORVIK_BINARIES}
                WORKING_DIRECTORY ${_work}
                OUTPUT_VARIABLE _out ERROR_VARIABLE _err RESULT_VARIABLE _rc)
if(NOT _rc EQUAL 0 OR NOT _out MATCHES "shlibs:Depends=([^\n]*)")
    message(FATAL_ERROR "dpkg-shlibdeps ${ZORVIK_BINARIES} failed: ${_err}")
endif()
set(CPACK_DEBIAN_PACKAGE_DEPENDS "${ZORVIK_RUNTIME_DEPENDS}, ${CMAKE_MATCH_1}")
