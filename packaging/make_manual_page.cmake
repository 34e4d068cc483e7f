# cmake -DHELP2MAN=... -DPROGRAM=... -DOUTPUT=page.1.gz -DVERSION=... -P make_manual_page.cmake
#
# Makes a program's manual page from its own --help: help2man lays the help
# out as a page, the line after the usage line becomes its one-line
# description, and the version is the program's --version where its help
# lists one.
# The page is compressed the way Debian keeps manual pages.

execute_process(COMMAND ${PROGRAM} --help OUTPUT_VARIABLE _help RESULT_VARIABLE _result)
if(NOT _result EQUAL 0)
  message(FATAL_ERROR "${PROGRAM} --help failed (${_result})")
endif()
string(REGEX MATCH "^[Uu]sage:[^\n]*\n([^\n]+)" _ "${_help}")
if(NOT CMAKE_MATCH_1)
  message(FATAL_ERROR "${PROGRAM} --help has no line after its usage line to describe it")
endif()
# "Edit the texture sets ...: load ..." becomes "edit the texture sets ...".
string(REGEX REPLACE "[:.].*$" "" _name "${CMAKE_MATCH_1}")
string(SUBSTRING "${_name}" 0 1 _first)
string(TOLOWER "${_first}" _first)
string(SUBSTRING "${_name}" 1 -1 _rest)

# A program whose help lists no --version may take the word for something
# else (a file name), so it is not asked.
set(_version_option --version-string=${VERSION})
if(_help MATCHES "\n  --version ")
  set(_version_option --version-option=--version)
endif()

get_filename_component(_folder ${OUTPUT} DIRECTORY)
file(MAKE_DIRECTORY ${_folder})
string(REGEX REPLACE "\\.gz$" "" _page ${OUTPUT})
execute_process(
  COMMAND ${HELP2MAN} --no-info --section=1 "--name=${_first}${_rest}" ${_version_option} --output=${_page} ${PROGRAM}
  RESULT_VARIABLE _result)
if(NOT _result EQUAL 0)
  message(FATAL_ERROR "help2man failed on ${PROGRAM}")
endif()
# -n: no name or time stamp in the archive, so the same page gives the same bytes.
execute_process(COMMAND gzip -9 -n -f ${_page} RESULT_VARIABLE _result)
if(NOT _result EQUAL 0)
  message(FATAL_ERROR "gzip failed on ${_page}")
endif()
