# `cpack -G DEB` in the build folder makes a Debian package of what
# `cmake --install` installs, its dependencies worked out by dpkg-shlibdeps.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME treetest)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Tree Test")
set(CPACK_PACKAGE_CONTACT "Tree Test maintainers <maintainers@treetest.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "study height-balanced binary search trees")
set(CPACK_PACKAGE_DESCRIPTION
    "A desktop tool that inserts a list of integers into a height-balanced binary search\n"
    "tree, rebalances it after every change and draws it; nodes can be searched, erased\n"
    "and inspected, and the drawing exported as SVG or PNG.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The program alone: no test or benchmark target has an install rule.
include(CPack)
