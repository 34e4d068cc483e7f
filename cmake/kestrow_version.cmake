# kestrow_version_header(NAME <target> PREFIX <macro prefix> VERSION <a.b.c[.d]> HEADER <file name>)
# A version is written once, in CMake; this makes it a header in the build
# tree and an interface target that puts that header on the include path of
# whatever links it. The header defines, for the prefix P:
#   P_VERSION              "1.3.0", the version as CMake has it (--version, the package)
#   P_VERSION_MAJOR_MINOR  "1.3", the first two numbers
#   P_VERSION_MAJOR ... P_VERSION_TWEAK
#                          the four numbers of a version resource, missing ones 0
#   P_VERSION_RESOURCE     "1, 3, 0, 0", the FileVersion and ProductVersion strings
function(kestrow_version_header)
  cmake_parse_arguments(V "" "NAME;PREFIX;VERSION;HEADER" "" ${ARGN})
  string(REPLACE "." ";" _numbers "${V_VERSION}")
  list(LENGTH _numbers _count)
  if(_count LESS 2 OR _count GREATER 4)
    message(FATAL_ERROR "kestrow_version_header: ${V_VERSION} is not a version of two to four numbers")
  endif()
  while(_count LESS 4)
    list(APPEND _numbers 0)
    math(EXPR _count "${_count} + 1")
  endwhile()
  list(GET _numbers 0 VERSION_MAJOR)
  list(GET _numbers 1 VERSION_MINOR)
  list(GET _numbers 2 VERSION_PATCH)
  list(GET _numbers 3 VERSION_TWEAK)
  set(VERSION_PREFIX ${V_PREFIX})
  set(VERSION_TEXT ${V_VERSION})
  set(_folder ${CMAKE_CURRENT_BINARY_DIR}/${V_NAME}_include)
  configure_file(${CMAKE_SOURCE_DIR}/cmake/version.h.in ${_folder}/${V_HEADER} @ONLY)
  add_library(${V_NAME} INTERFACE)
  target_include_directories(${V_NAME} INTERFACE ${_folder})
endfunction()
