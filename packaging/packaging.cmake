# The Debian package of both programs: `cpack -G DEB` in the build folder makes
# lontaris_<version>-<revision>_<arch>.deb of everything `cmake --install`
# installs, under /usr, stripped, with Debian's copyright file, changelog and
# lintian overrides (deb-stage.cmake adds them to the staged files).
#
# Depends: the libraries the programs and the sound module link (worked out by
# dpkg-shlibdeps in deb-stage.cmake) and what is loaded at run time: Qt's
# SQLite driver and a font with Vietnamese letters. Recommends: what a pupil's
# machine needs for a classroom server, and a sound server (the game plays
# silently without one). The libraries of a module under lib/lontaris, which
# the programs load only when it is used, are recommended too, unless the
# module is named in CPACK_LONTARIS_REQUIRED_MODULES: the package installs
# without them.

set(LONTARIS_MAINTAINER "The Lontaris developers <lontaris@users.noreply.github.com>" CACHE STRING
  "Maintainer named by the Debian package")
set(LONTARIS_DEB_REVISION 1 CACHE STRING "Debian revision of the package (the version is the project's)")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME lontaris)
set(CPACK_PACKAGE_VENDOR "The Lontaris developers")
set(CPACK_PACKAGE_CONTACT ${LONTARIS_MAINTAINER})
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_RELEASE ${LONTARIS_DEB_REVISION})
set(CPACK_DEBIAN_PACKAGE_SECTION education)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${LONTARIS_HOMEPAGE})
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION TRUE)
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Vietnamese television-style quiz game, with its question editor
Lontaris is a quiz game in Vietnamese, played like a television show: log
in, pay the entry fee, win the timed qualifying round, then climb a
fifteen-question money ladder in the hot seat, with three lifelines.

Pelmaro edits its question bank, imports and exports questions as CSV
files and copies a whole installation. Both programs work on an SQLite file
in each user's home folder, or on a classroom's PostgreSQL server.")
# dpkg-shlibdeps is run by deb-stage.cmake, which adds its findings to these.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS OFF)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6sql6-sqlite, fonts-dejavu-core | fonts-liberation2 | fonts-noto-core")
# The server store goes through Qt's PostgreSQL driver (which brings libpq5).
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "libqt6sql6-psql, libpq5, pulseaudio | pipewire-pulse")

set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/deb-stage.cmake)
# The sound module's libraries (Qt Multimedia, with its back ends and the
# PulseAudio client) are the game's sound stack: depended on.
set(CPACK_LONTARIS_REQUIRED_MODULES liblontaris_sound.so)
set(CPACK_LONTARIS_DEBIAN_DIR ${CMAKE_CURRENT_LIST_DIR})
set(CPACK_LONTARIS_BUILD_TYPE ${CMAKE_BUILD_TYPE})
include(CPack)
