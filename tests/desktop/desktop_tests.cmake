# The installed programs: a DESTDIR install holds every file, the launchers and
# metainfo validate, and the installed game and editor share one database in the
# user's data folder, or the file named by --database.
add_test(NAME desktop.install
  COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/test_install.sh ${CMAKE_BINARY_DIR})
set_tests_properties(desktop.install PROPERTIES
  ENVIRONMENT "QT_QPA_PLATFORM=offscreen;LONTARIS_MUTE=1" TIMEOUT 300)
# The Debian package: cpack -G DEB, its file list, Depends and Recommends, and
# lintian where it is installed (skipped in a Debug build, which is not packaged).
add_test(NAME desktop.package
  COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/test_package.sh ${CMAKE_BINARY_DIR} ${PROJECT_VERSION} ${CMAKE_SOURCE_DIR}
          "${CMAKE_BUILD_TYPE}")
set_tests_properties(desktop.package PROPERTIES TIMEOUT 600 SKIP_RETURN_CODE 77)
