# Where an install puts things, and the two ways a folder installs a target.
# Each folder's CMakeLists installs its own targets next to their
# definitions; the desktop files and manual pages are in desktop/, the
# Debian package in cmake/kestrow_package.cmake.
#
#   PREFIX/bin/                  kestrow, kestrow-cli, kestrow-sample-shapes
#   PREFIX/libexec/kestrow/      Tavlet.ocx, libkplatform.so, regsvr
#   PREFIX/share/kestrow-platform/classes.reg
#                                the machine-wide class registration
#   PREFIX/share/applications, icons, metainfo, mime, man
#
# Nothing refers to PREFIX itself: the programs find the private folder
# through run paths relative to their own place ($ORIGIN), and the
# registration names the control module relative to its own file, so the
# tree works wherever it is put.

include(GNUInstallDirs)

# The control module, the platform library and the registration tool: ours
# alone, so in a folder of their own, where no name can collide with
# another package's. It is under libexec, not lib: none of it is for other
# programs to link, and the system's library cache (ldconfig) has no
# business there, so the Debian package needs no scripts to refresh it.
set(KESTROW_INSTALL_PRIVATEDIR ${CMAKE_INSTALL_LIBEXECDIR}/kestrow)
# That folder as the programs in bin see it ("../libexec/kestrow").
file(RELATIVE_PATH KESTROW_PRIVATEDIR_FROM_BINDIR
  ${CMAKE_INSTALL_FULL_BINDIR} ${CMAKE_INSTALL_FULL_LIBEXECDIR}/kestrow)

# kestrow_install_program(<target>): a program people run, in bin.
function(kestrow_install_program target)
  set_target_properties(${target} PROPERTIES INSTALL_RPATH "$ORIGIN/${KESTROW_PRIVATEDIR_FROM_BINDIR}")
  install(TARGETS ${target} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endfunction()

# kestrow_install_private(<target>): a library, module or helper program in
# the private folder, where everything it loads of ours sits beside it.
function(kestrow_install_private target)
  set_target_properties(${target} PROPERTIES INSTALL_RPATH "$ORIGIN")
  install(TARGETS ${target}
    RUNTIME DESTINATION ${KESTROW_INSTALL_PRIVATEDIR}
    LIBRARY DESTINATION ${KESTROW_INSTALL_PRIVATEDIR})
endfunction()

