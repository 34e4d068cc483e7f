# The Debian packages: "cpack -G DEB" in the build folder packs what
# "cmake --install" installs, under /usr, without building anything again,
# one package per install component (cmake/kestrow_install.cmake):
#
#   kestrow-cli  the command-line tools and the system library, for machines
#                without a display;
#   kestrow      the editor and its control, on kestrow-cli's system library,
#                so it depends on kestrow-cli of its own version.
#
# - Each package's other dependencies are what dpkg-shlibdeps finds its
#   programs and modules link; the only names written here are of what is
#   loaded without linking (the dialog font), as recommendations.
# - kestrow holds the machine-wide class registration the install writes, so
#   neither package needs maintainer scripts; the desktop's caches of MIME
#   types, desktop entries and icons are refreshed by their own packages'
#   triggers, which kestrow's files alone set off.

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kestrow)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_PACKAGE_CONTACT "${KESTROW_MAINTAINER}")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${KESTROW_HOMEPAGE}")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL ${KESTROW_COMPONENTS})
set(CPACK_DEBIAN_CLI_PACKAGE_NAME ${KESTROW_cli_PACKAGE})
set(CPACK_DEBIAN_EDITOR_PACKAGE_NAME ${KESTROW_editor_PACKAGE})
# The editor's Depends names kestrow-cli (= this version).
set(CPACK_COMPONENT_EDITOR_DEPENDS cli)
set(CPACK_DEBIAN_ENABLE_COMPONENT_DEPENDS ON)

set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Our own libksystem.so and libkwindowing.so are found in the build's
# program folder. They belong to no installed package, so shlibdeps leaves
# them out; the editor's dependency on kestrow-cli above stands for the
# system library.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${CMAKE_BINARY_DIR}/bin)

# What the editor loads without linking, one package a line.
# Qt's Wayland platform plugin lets the editor be a native client of a
# Wayland desktop; without it Qt runs the editor through XWayland.
set(KESTROW_EDITOR_RECOMMENDS
  fonts-dejavu-extra
  qt6-wayland
)
list(JOIN KESTROW_EDITOR_RECOMMENDS ", " CPACK_DEBIAN_EDITOR_PACKAGE_RECOMMENDS)

# Each description is the README's first paragraph and what that package
# holds. Their first lines are the packages' summaries, so the common one
# is left empty.
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "")
set(CPACK_DEBIAN_EDITOR_DESCRIPTION "${PROJECT_DESCRIPTION}
${KESTROW_DESCRIPTION_LINES}

This package holds the editor and its bitmap drop control, registered for
every user, with the desktop entry, the icons and the shapes file's type.
The command-line tools come with it, in kestrow-cli.")
set(CPACK_DEBIAN_CLI_DESCRIPTION "${PROJECT_DESCRIPTION} from the command line
${KESTROW_DESCRIPTION_LINES}

This package holds kestrow-cli, which does the editor's work on shapes
files without windows, for scripts and build pipelines, and
kestrow-sample-shapes, which writes a sample shapes file. It needs no
display: it loads no Qt, X11 or GL library, so a build server or a container
can have it without the editor.")
include(CPack)
