# cmake -DBUILD=<build folder> -DOUTPUT=<folder> -P make_package.cmake
# Packs the build as cpack does for a user (OUTPUT/kestrow.deb) and unpacks
# the package with dpkg-deb, as dpkg would install it, into OUTPUT/root.
file(REMOVE_RECURSE ${OUTPUT})
execute_process(COMMAND ${CMAKE_CPACK_COMMAND} -G DEB --config ${BUILD}/CPackConfig.cmake -B ${OUTPUT}/cpack
                RESULT_VARIABLE _result)
if(NOT _result EQUAL 0)
  message(FATAL_ERROR "cpack failed (${_result})")
endif()
file(GLOB _debs ${OUTPUT}/cpack/*.deb)
list(LENGTH _debs _count)
if(NOT _count EQUAL 1)
  message(FATAL_ERROR "cpack made ${_count} packages: ${_debs}")
endif()
file(RENAME ${_debs} ${OUTPUT}/kestrow.deb)
execute_process(COMMAND dpkg-deb -x ${OUTPUT}/kestrow.deb ${OUTPUT}/root RESULT_VARIABLE _result)
if(NOT _result EQUAL 0)
  message(FATAL_ERROR "dpkg-deb -x failed (${_result})")
endif()
