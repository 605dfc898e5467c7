# Builds the README's example program as a host would, against the installed library
# (MODE installed) or with the library added as a subdirectory (MODE subdirectory), then runs
# it on a bundled structure.
file(REMOVE_RECURSE ${WORK_DIR})
function(run)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE result OUTPUT_VARIABLE output
                  ERROR_VARIABLE output)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "failed: ${ARGN}\n${output}")
  endif()
  set(output ${output} PARENT_SCOPE)
endfunction()

file(READ ${SOURCE_DIR}/README.md readme)
string(REGEX MATCH "```cpp\n([^`]*)```" example "${readme}")
if(NOT example)
  message(FATAL_ERROR "README.md has no cpp example")
endif()
file(WRITE ${WORK_DIR}/host_program.cpp "${CMAKE_MATCH_1}")

set(configure -S ${SOURCE_DIR}/tests/package -B ${WORK_DIR}/build
    -DHOST_PROGRAM=${WORK_DIR}/host_program.cpp "-DCMAKE_CXX_FLAGS=${FLAGS}"
    "-DCMAKE_EXE_LINKER_FLAGS=${FLAGS}" -DBUILD_SHARED_LIBS=${SHARED})
if(MODE STREQUAL "installed")
  run(${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${WORK_DIR}/prefix)
  run(${CMAKE_COMMAND} ${configure} -DCMAKE_PREFIX_PATH=${WORK_DIR}/prefix)
else()
  run(${CMAKE_COMMAND} ${configure} -DCIF_SOURCE_DIR=${SOURCE_DIR})
endif()
run(${CMAKE_COMMAND} --build ${WORK_DIR}/build -j 2)
run(${WORK_DIR}/build/host_program ${SOURCE_DIR}/data/dict/cif_core.dic
    ${SOURCE_DIR}/data/cif/2003526-r-factor-with-esd.cif)
if(NOT output MATCHES "_cell_length_a")
  message(FATAL_ERROR "the example did not write the document back:\n${output}")
endif()
