# `cpack -G DEB` in the build folder makes a Debian package of what
# `cmake --install` installs, its dependencies worked out by dpkg-shlibdeps.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME treetest)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Tree Test")
set(CPACK_PACKAGE_CONTACT "Tree Test maintainers <maintainers@treetest.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "study height-balanced binary search trees")
# Debian shows the description's lines as they are: within 80 columns.
set(CPACK_PACKAGE_DESCRIPTION "\
A desktop tool that inserts a list of integers into a height-balanced
binary search tree, rebalances it after every change and draws it; nodes
can be searched, erased and inspected, and the drawing exported as SVG or
PNG.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# A stripped program, and the manual page compressed, as Debian packages have them.
set(CPACK_STRIP_FILES ON)
set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/CompressManPages.cmake)
# The program alone: no test or benchmark target has an install rule.
include(CPack)
