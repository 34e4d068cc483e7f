# cmake -DBUILD=<build folder> -DOUTPUT=<folder> -P make_package.cmake
# Packs the build as cpack does for a user, into OUTPUT/kestrow.deb and
# OUTPUT/kestrow-cli.deb, and unpacks both with dpkg-deb, as dpkg would
# install them side by side, into OUTPUT/root.
file(REMOVE_RECURSE ${OUTPUT})
execute_process(COMMAND ${CMAKE_CPACK_COMMAND} -G DEB --config ${BUILD}/CPackConfig.cmake -B ${OUTPUT}/cpack
                RESULT_VARIABLE _result)
if(NOT _result EQUAL 0)
  message(FATAL_ERROR "cpack failed (${_result})")
endif()
file(GLOB _debs ${OUTPUT}/cpack/*.deb)
set(_packages "")
foreach(_deb IN LISTS _debs)
  execute_process(COMMAND dpkg-deb -f ${_deb} Package OUTPUT_VARIABLE _package OUTPUT_STRIP_TRAILING_WHITESPACE
                  RESULT_VARIABLE _result)
  if(NOT _result EQUAL 0 OR _package STREQUAL "")
    message(FATAL_ERROR "dpkg-deb -f ${_deb} Package failed (${_result})")
  endif()
  file(RENAME ${_deb} ${OUTPUT}/${_package}.deb)
  list(APPEND _packages ${_package})
endforeach()
list(SORT _packages)
if(NOT _packages STREQUAL "kestrow;kestrow-cli")
  message(FATAL_ERROR "cpack made the packages \"${_packages}\", not kestrow and kestrow-cli")
endif()
foreach(_package IN LISTS _packages)
  execute_process(COMMAND dpkg-deb -x ${OUTPUT}/${_package}.deb ${OUTPUT}/root RESULT_VARIABLE _result)
  if(NOT _result EQUAL 0)
    message(FATAL_ERROR "dpkg-deb -x ${_package}.deb failed (${_result})")
  endif()
endforeach()
