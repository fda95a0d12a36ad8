# Builds a target that includes a widget header with one library of logic, and
# passes only when the build fails because that header cannot be found: an
# unrelated compile error does not count.
# Run as: cmake -DBUILD_DIR=<build> -DTARGET=<target> -P ExpectNoWidgets.cmake
cmake_minimum_required(VERSION 3.21)
execute_process(COMMAND ${CMAKE_COMMAND} --build ${BUILD_DIR} --target ${TARGET}
  RESULT_VARIABLE failed OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(NOT failed)
  message(FATAL_ERROR "${TARGET} compiled: a library of logic sees the widget headers")
endif()
if(NOT output MATCHES "QWidget: No such file or directory")
  message(FATAL_ERROR "${TARGET} failed for another reason than a missing widget header:\n${output}")
endif()
