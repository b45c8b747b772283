# Run by cpack once the package's files are staged and before the .deb is made
# (CPACK_PRE_BUILD_SCRIPTS, with the CPACK_ variables of packaging.cmake). It
# refuses a debug build, adds Debian's own files (copyright, changelog, lintian
# overrides), strips the binaries as Debian does, and adds the libraries that
# the programs and modules link to Depends and Recommends (dpkg-shlibdeps).

cmake_policy(VERSION 3.25)

if(NOT CPACK_LONTARIS_BUILD_TYPE MATCHES "^(Release|RelWithDebInfo|MinSizeRel)$")
  message(FATAL_ERROR "A ${CPACK_LONTARIS_BUILD_TYPE} build is not packaged: configure the build folder with "
    "-DCMAKE_BUILD_TYPE=RelWithDebInfo (the default) or Release.")
endif()
set(debian ${CPACK_LONTARIS_DEBIAN_DIR})
set(root ${CPACK_TEMPORARY_DIRECTORY})

set(version ${CPACK_PACKAGE_VERSION}-${CPACK_DEBIAN_PACKAGE_RELEASE})
file(STRINGS ${debian}/changelog top LIMIT_COUNT 1)
if(NOT top MATCHES "^lontaris \\(([^)]+)\\) " OR NOT CMAKE_MATCH_1 STREQUAL version)
  message(FATAL_ERROR "${debian}/changelog: the first entry is not for version ${version}: add one.")
endif()
# The files' times are the changelog entry's, as dpkg-buildpackage makes them,
# so that the same build makes the same package (unless SOURCE_DATE_EPOCH is set).
if(NOT DEFINED ENV{SOURCE_DATE_EPOCH})
  file(STRINGS ${debian}/changelog trailer REGEX "^ -- .*>  " LIMIT_COUNT 1)
  string(REGEX REPLACE "^ -- .*>  " "" date "${trailer}")
  execute_process(COMMAND date -d "${date}" +%s OUTPUT_VARIABLE epoch OUTPUT_STRIP_TRAILING_WHITESPACE
    COMMAND_ERROR_IS_FATAL ANY)
  set(ENV{SOURCE_DATE_EPOCH} ${epoch})
endif()

# Debian's files, where its policy names them. gzip -n: no name or time in the
# header.
set(doc ${root}/usr/share/doc/lontaris)
set(overrides ${root}/usr/share/lintian/overrides)
file(MAKE_DIRECTORY ${doc} ${overrides})
file(COPY_FILE ${debian}/copyright ${doc}/copyright)
file(COPY_FILE ${debian}/lintian-overrides ${overrides}/lontaris)
execute_process(COMMAND gzip -9nc ${debian}/changelog OUTPUT_FILE ${doc}/changelog.Debian.gz COMMAND_ERROR_IS_FATAL ANY)
file(CHMOD ${doc}/copyright ${doc}/changelog.Debian.gz ${overrides}/lontaris
  PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
file(CHMOD_RECURSE ${root}/usr DIRECTORY_PERMISSIONS
  OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

find_program(strip strip REQUIRED)
find_program(shlibdeps dpkg-shlibdeps REQUIRED)
file(GLOB_RECURSE files LIST_DIRECTORIES false RELATIVE ${root} ${root}/*)
set(depends)
set(recommends)
foreach(f IN LISTS files)
  file(READ ${root}/${f} magic LIMIT 4 HEX)
  if(NOT magic STREQUAL "7f454c46")
    continue()
  endif()
  # As dh_strip does: no symbols, no debugging data, no compiler notes.
  if(f MATCHES "\\.so(\\.[0-9.]+)?$")
    set(unneeded --strip-unneeded)
  else()
    set(unneeded)
  endif()
  execute_process(COMMAND ${strip} --remove-section=.comment --remove-section=.note ${unneeded} ${root}/${f}
    COMMAND_ERROR_IS_FATAL ANY)
  # A module the programs load only when it is used.
  if(f MATCHES "^usr/lib/(.+/)?lontaris/([^/]+)$" AND NOT CMAKE_MATCH_2 IN_LIST CPACK_LONTARIS_REQUIRED_MODULES)
    list(APPEND recommends -e${root}/${f})
  else()
    list(APPEND depends -e${root}/${f})
  endif()
endforeach()

# dpkg-shlibdeps wants a debian/control, and a DEBIAN folder that marks the
# root of the package's tree while it runs; it keeps a library that both
# fields want in Depends only.
set(scratch ${CPACK_TOPLEVEL_DIRECTORY}/shlibdeps)
file(WRITE ${scratch}/debian/control "")
file(MAKE_DIRECTORY ${root}/DEBIAN)
execute_process(COMMAND ${shlibdeps} -O -dDepends ${depends} -dRecommends ${recommends}
  WORKING_DIRECTORY ${scratch} OUTPUT_VARIABLE substvars RESULT_VARIABLE failed)
file(REMOVE_RECURSE ${root}/DEBIAN)
if(failed)
  message(FATAL_ERROR "dpkg-shlibdeps failed")
endif()
foreach(field Depends Recommends)
  string(TOUPPER ${field} FIELD)
  if(substvars MATCHES "shlibs:${field}=([^\n]*)")
    list(PREPEND CPACK_DEBIAN_PACKAGE_${FIELD} "${CMAKE_MATCH_1}")
    list(JOIN CPACK_DEBIAN_PACKAGE_${FIELD} ", " CPACK_DEBIAN_PACKAGE_${FIELD})
  endif()
endforeach()
message(STATUS "Depends: ${CPACK_DEBIAN_PACKAGE_DEPENDS}")
message(STATUS "Recommends: ${CPACK_DEBIAN_PACKAGE_RECOMMENDS}")
