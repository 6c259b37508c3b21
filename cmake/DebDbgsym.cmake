# Runs after cpack has made the package: packs the debug information that DebStrip.cmake kept
# apart into zorvik-dbgsym_VERSION_ARCH.deb beside it, as Debian's automatic -dbgsym packages
# are made (debug files under /usr/lib/debug/.build-id, tied to the exact package version).
if(NOT CPACK_GENERATOR STREQUAL "DEB")
    return()
endif()
set(_root ${CPACK_TOPLEVEL_DIRECTORY}/zorvik-dbgsym)
if(NOT EXISTS ${_root}/usr)
    return()
endif()
find_program(ZORVIK_DPKG_DEB dpkg-deb REQUIRED)
find_program(ZORVIK_DPKG dpkg REQUIRED)
find_program(ZORVIK_TOUCH touch REQUIRED)
execute_process(COMMAND ${ZORVIK_DPKG} --print-architecture OUTPUT_VARIABLE _arch OUTPUT_STRIP_TRAILING_WHITESPACE)
set(_version ${CPACK_PACKAGE_VERSION}-${CPACK_DEBIAN_PACKAGE_RELEASE})

file(GLOB_RECURSE _files LIST_DIRECTORIES false RELATIVE ${_root} ${_root}/usr/lib/debug/*)
list(SORT _files)
set(_ids)
set(_md5sums)
set(_bytes 0)
foreach(file IN LISTS _files)
    string(REGEX REPLACE "^.*/([0-9a-f][0-9a-f])/([0-9a-f]+)\\.debug$" "\\1\\2" id ${file})
    list(APPEND _ids ${id})
    file(MD5 ${_root}/${file} md5)
    string(APPEND _md5sums "${md5}  ${file}\n")
    file(SIZE ${_root}/${file} size)
    math(EXPR _bytes "${_bytes} + (${size} + 1023) / 1024 * 1024")
endforeach()
math(EXPR _kib "${_bytes} / 1024")
list(JOIN _ids " " _ids)
file(WRITE ${_root}/DEBIAN/md5sums "${_md5sums}")
file(WRITE ${_root}/DEBIAN/control "\
Package: zorvik-dbgsym
Source: zorvik
Version: ${_version}
Auto-Built-Package: debug-symbols
Architecture: ${_arch}
Maintainer: ${CPACK_PACKAGE_CONTACT}
Installed-Size: ${_kib}
Depends: zorvik (= ${_version})
Section: debug
Priority: optional
Description: debug symbols for zorvik
Build-Ids: ${_ids}
")

# Its documentation is the program's, which it depends on.
file(MAKE_DIRECTORY ${_root}/usr/share/doc)
file(CREATE_LINK zorvik ${_root}/usr/share/doc/zorvik-dbgsym SYMBOLIC)

# The usual permissions whatever the umask, and on every file the time of the builder's
# SOURCE_DATE_EPOCH (set when cpack started), which dpkg-deb also gives the package's own
# members: the package comes out byte for byte the same from every build.
file(CHMOD_RECURSE ${_root}/usr/lib ${_root}/DEBIAN
     FILE_PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ
     DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
file(CHMOD ${_root} ${_root}/usr ${_root}/usr/share ${_root}/usr/share/doc
     PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
file(GLOB_RECURSE _all LIST_DIRECTORIES true ${_root}/*)
execute_process(COMMAND ${ZORVIK_TOUCH} -h -d @$ENV{SOURCE_DATE_EPOCH} ${_root} ${_all} RESULT_VARIABLE _rc)
if(NOT _rc EQUAL 0)
    message(FATAL_ERROR "could not set the times of ${_root}")
endif()
set(_deb ${CPACK_PACKAGE_DIRECTORY}/zorvik-dbgsym_${_version}_${_arch}.deb)
execute_process(COMMAND ${ZORVIK_DPKG_DEB} --root-owner-group -Zxz --build ${_root} ${_deb}
                RESULT_VARIABLE _rc OUTPUT_QUIET ERROR_VARIABLE _err)
if(NOT _rc EQUAL 0)
    message(FATAL_ERROR "dpkg-deb --build ${_root} failed: ${_err}")
endif()
message(STATUS "CPackDeb: - debug symbols: ${_deb}")
