# The Debian package: "cpack -G DEB" in the build folder packs what
# "cmake --install" installs, under /usr, without building anything again.
#
# - Its dependencies are what dpkg-shlibdeps finds the installed programs
#   and modules link; the only names written here are of what is loaded
#   without linking (the dialog font, Qt's extra image readers), as
#   recommendations.
# - It holds the machine-wide class registration the install writes, so it
#   needs no maintainer scripts; the desktop's caches of MIME types, desktop
#   entries and icons are refreshed by their own packages' triggers.

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kestrow)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
set(CPACK_PACKAGE_DESCRIPTION "${KESTROW_DESCRIPTION_LINES}")
set(CPACK_PACKAGE_CONTACT "${KESTROW_MAINTAINER}")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${KESTROW_HOMEPAGE}")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Our own libksystem.so and libkwindowing.so are found in the package's
# private folder.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${CMAKE_BINARY_DIR}/bin)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-dejavu-extra")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
