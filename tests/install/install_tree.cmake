# cmake -DBUILD=<build folder> -DPREFIX=<folder> -P install_tree.cmake
# A fresh install of the build into PREFIX, as a user's "cmake --install".
file(REMOVE_RECURSE ${PREFIX})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD} --prefix ${PREFIX} RESULT_VARIABLE _result)
if(NOT _result EQUAL 0)
  message(FATAL_ERROR "cmake --install failed (${_result})")
endif()
