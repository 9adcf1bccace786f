# cmake -DBUILD_DIR=... -DPLANTED=target -DCONTROL=target -DMATCH=regex -P ExpectRefused.cmake
# Passes when CONTROL builds and PLANTED fails to build with output matching MATCH: a failure
# for any other reason (a broken tree, a missing tool) is no proof and fails the test.
function(build target result output)
  execute_process(COMMAND ${CMAKE_COMMAND} --build ${BUILD_DIR} --target ${target}
    RESULT_VARIABLE code OUTPUT_VARIABLE out ERROR_VARIABLE out)
  set(${result} ${code} PARENT_SCOPE)
  set(${output} "${out}" PARENT_SCOPE)
endfunction()

build(${CONTROL} code out)
if(NOT code EQUAL 0)
  message(FATAL_ERROR "${CONTROL}, the same source where the layer order allows it, does not build:\n${out}")
endif()
build(${PLANTED} code out)
if(code EQUAL 0)
  message(FATAL_ERROR "${PLANTED} built: the layer order did not refuse it")
endif()
if(NOT out MATCHES "${MATCH}")
  message(FATAL_ERROR "${PLANTED} failed, but not with \"${MATCH}\":\n${out}")
endif()
message(STATUS "${PLANTED} refused as it should be; ${CONTROL} builds")
