# Where an install puts things, and the two ways a folder installs a target.
# Each folder's CMakeLists installs its own targets next to their
# definitions; the desktop files and manual pages are in packaging/, the
# Debian packages in cmake/kestrow_package.cmake.
#
#   PREFIX/bin/                  kestrow, kestrow-cli, kestrow-sample-shapes
#   PREFIX/libexec/kestrow/      Tavlet.ocx, libksystem.so, libkwindowing.so,
#                                regsvr
#   PREFIX/share/kestrow-platform/classes.reg
#                                the machine-wide class registration
#   PREFIX/share/applications, icons, metainfo, mime, man
#
# Nothing refers to PREFIX itself: the programs find the private folder
# through run paths relative to their own place ($ORIGIN), and the
# registration names the control module relative to its own file, so the
# tree works wherever it is put.

include(GNUInstallDirs)

# Every installed file belongs to one of two components, each packed as a
# Debian package of its own:
#
#   cli     kestrow-cli: kestrow-cli, kestrow-sample-shapes, their manual
#           pages and the system library they run on. Nothing in it loads
#           Qt or a display library, so a build server or a container can
#           have it alone.
#   editor  kestrow: the editor, the control module, regsvr, the windowing
#           library, the machine-wide registration and the desktop files.
#           It runs on the system library of kestrow-cli.
#
# "cmake --install BUILD --component cli" installs the command-line tools
# alone; without --component, both are installed.
set(KESTROW_COMPONENTS cli editor)
set(KESTROW_cli_PACKAGE kestrow-cli)
set(KESTROW_editor_PACKAGE kestrow)

# The control module, the platform libraries and the registration tool: ours
# alone, so in a folder of their own, where no name can collide with
# another package's. It is under libexec, not lib: none of it is for other
# programs to link, and the system's library cache (ldconfig) has no
# business there, so the Debian packages need no scripts to refresh it.
set(KESTROW_INSTALL_PRIVATEDIR ${CMAKE_INSTALL_LIBEXECDIR}/kestrow)
# That folder as the programs in bin see it ("../libexec/kestrow").
file(RELATIVE_PATH KESTROW_PRIVATEDIR_FROM_BINDIR
  ${CMAKE_INSTALL_FULL_BINDIR} ${CMAKE_INSTALL_FULL_LIBEXECDIR}/kestrow)

function(_kestrow_check_component component)
  if(NOT component IN_LIST KESTROW_COMPONENTS)
    message(FATAL_ERROR "Install component \"${component}\" is none of: ${KESTROW_COMPONENTS}")
  endif()
endfunction()

# kestrow_install_program(<target> <component>): a program people run, in
# bin.
function(kestrow_install_program target component)
  _kestrow_check_component(${component})
  set_target_properties(${target} PROPERTIES INSTALL_RPATH "$ORIGIN/${KESTROW_PRIVATEDIR_FROM_BINDIR}")
  install(TARGETS ${target} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT ${component})
endfunction()

# kestrow_install_private(<target> <component>): a library, module or helper
# program in the private folder, where everything it loads of ours sits
# beside it. Both components put files there: the folder is shared, its
# files are not.
function(kestrow_install_private target component)
  _kestrow_check_component(${component})
  set_target_properties(${target} PROPERTIES INSTALL_RPATH "$ORIGIN")
  install(TARGETS ${target}
    RUNTIME DESTINATION ${KESTROW_INSTALL_PRIVATEDIR} COMPONENT ${component}
    LIBRARY DESTINATION ${KESTROW_INSTALL_PRIVATEDIR} COMPONENT ${component})
endfunction()

# kestrow_install_class_registration(MODULE <target> TOOL <target>
#                                    COMPONENT <component>): once the
# control module is installed, runs the registration tool to write the
# machine-wide registration of the installed module into
# PREFIX/share/kestrow-platform/classes.reg, with the module's path relative
# to that file. Every user whose XDG_DATA_DIRS has PREFIX/share (the default
# has /usr/local/share and /usr/share) then finds the control without
# registering it. Packaging installs the same way, into its staging folder,
# so the package carries the file.
#
# The tool that runs is the build's: packaging installs each component into
# a staging folder of its own, where the installed tool would not find the
# system library of the other component. The build's tool and the installed
# module are of one build, and the module's own run path still finds the
# windowing library beside it.
function(kestrow_install_class_registration)
  cmake_parse_arguments(R "" "MODULE;TOOL;COMPONENT" "" ${ARGN})
  _kestrow_check_component(${R_COMPONENT})
  set(_module "${KESTROW_INSTALL_PRIVATEDIR}/$<TARGET_FILE_NAME:${R_MODULE}>")
  install(CODE "
    get_filename_component(_root \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}\" ABSOLUTE)
    execute_process(
      COMMAND \"$<TARGET_FILE:${R_TOOL}>\" --machine \"\${_root}/${CMAKE_INSTALL_DATADIR}\" \"\${_root}/${_module}\"
      RESULT_VARIABLE _result OUTPUT_VARIABLE _output ERROR_VARIABLE _output)
    if(NOT _result EQUAL 0)
      message(FATAL_ERROR \"Registering the control module machine-wide failed: \${_output}\")
    endif()
    message(STATUS \"Registered: \${_root}/${CMAKE_INSTALL_DATADIR}/kestrow-platform/classes.reg\")
    list(APPEND CMAKE_INSTALL_MANIFEST_FILES \"\${_root}/${CMAKE_INSTALL_DATADIR}/kestrow-platform/classes.reg\")
  " COMPONENT ${R_COMPONENT})
endfunction()
