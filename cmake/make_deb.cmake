# Makes the Debian package of the Linux renderer from a built tree, with dpkg-deb; run by the
# `package` target as: cmake -DBUILD_DIR= -DSOURCE_DIR= -DVERSION= -DYEAR= -DOUTPUT= -P make_deb.cmake
# The package holds the hack, its settings description, its manual page and the Debian copyright
# and changelog; its dependencies are those dpkg-shlibdeps computes from the binary.
foreach(var BUILD_DIR SOURCE_DIR VERSION YEAR OUTPUT)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "make_deb.cmake needs -D${var}=...")
  endif()
endforeach()

# run(<command>...): runs a command and stops the script with its error when it fails.
function(run)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT status EQUAL 0)
    string(REPLACE ";" " " shown "${ARGN}")
    message(FATAL_ERROR "${shown} failed (${status}):\n${out}${err}")
  endif()
  set(run_output "${out}" PARENT_SCOPE)
endfunction()

get_filename_component(work "${OUTPUT}" DIRECTORY)
set(root "${work}/deb-root")
set(doc "${root}/usr/share/doc/varenko")
set(man "${root}/usr/share/man/man6")
file(REMOVE_RECURSE "${root}" "${work}/deb-shlibs")
file(REMOVE "${OUTPUT}")
file(MAKE_DIRECTORY "${root}/DEBIAN" "${doc}" "${man}" "${work}/deb-shlibs/debian")

run(${CMAKE_COMMAND} -E env "DESTDIR=${root}" ${CMAKE_COMMAND} --install "${BUILD_DIR}"
    --prefix /usr --strip)

set(VERSION "${VERSION}")
set(YEAR "${YEAR}")
configure_file("${SOURCE_DIR}/resources/debian/varenko.6" "${work}/varenko.6" @ONLY)
configure_file("${SOURCE_DIR}/resources/debian/changelog.in" "${work}/changelog" @ONLY)
configure_file("${SOURCE_DIR}/resources/debian/copyright.in" "${doc}/copyright" @ONLY)
# Debian compresses manual pages and changelogs with gzip -9n (no name or time stamp inside).
run(gzip -9nf "${work}/varenko.6" "${work}/changelog")
file(RENAME "${work}/varenko.6.gz" "${man}/varenko.6.gz")
file(RENAME "${work}/changelog.gz" "${doc}/changelog.gz")

# dpkg-shlibdeps reads the package list of a source tree; a one-package stub serves.
file(WRITE "${work}/deb-shlibs/debian/control"
     "Source: varenko\n\nPackage: varenko\nArchitecture: amd64\n")
execute_process(COMMAND dpkg-shlibdeps -O "${root}/usr/libexec/xscreensaver/varenko"
                WORKING_DIRECTORY "${work}/deb-shlibs" RESULT_VARIABLE status
                OUTPUT_VARIABLE shlibs ERROR_VARIABLE err)
if(NOT status EQUAL 0 OR NOT shlibs MATCHES "shlibs:Depends=([^\n]+)")
  message(FATAL_ERROR "dpkg-shlibdeps failed (${status}):\n${shlibs}${err}")
endif()
set(DEPENDS "${CMAKE_MATCH_1}")

# Everything readable by all, programs executable; the tar records root as owner.
run(chmod -R u=rwX,go=rX "${root}")
run(chmod 0755 "${root}/usr/libexec/xscreensaver/varenko")

file(GLOB_RECURSE payload RELATIVE "${root}" "${root}/usr/*")
list(SORT payload)
set(sums "")
set(bytes 0)
foreach(f IN LISTS payload)
  file(MD5 "${root}/${f}" md5)
  string(APPEND sums "${md5}  ${f}\n")
  file(SIZE "${root}/${f}" size)
  math(EXPR bytes "${bytes} + ${size}")
endforeach()
file(WRITE "${root}/DEBIAN/md5sums" "${sums}")
math(EXPR INSTALLED_SIZE "(${bytes} + 1023) / 1024")
configure_file("${SOURCE_DIR}/resources/debian/control.in" "${root}/DEBIAN/control" @ONLY)
run(chmod 0644 "${root}/DEBIAN/control" "${root}/DEBIAN/md5sums")

run(dpkg-deb --root-owner-group -Zxz --build "${root}" "${OUTPUT}")
file(REMOVE_RECURSE "${work}/deb-shlibs")
message(STATUS "Made ${OUTPUT}")
