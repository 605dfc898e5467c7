# Builds the README's example programs as a host would, against the installed library
# (MODE installed) or with the library added as a subdirectory (MODE subdirectory), then runs
# them on bundled structures.
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
# The three cpp blocks, one after the other (a list would split the code at its semicolons).
set(rest "${readme}")
foreach(index 0 1 2)
  string(REGEX MATCH "```cpp\n([^`]*)```" example "${rest}")
  if(NOT example)
    message(FATAL_ERROR "README.md should have three cpp examples")
  endif()
  file(WRITE ${WORK_DIR}/programs/program_${index}.cpp "${CMAKE_MATCH_1}")
  string(FIND "${rest}" "${example}" at)
  string(LENGTH "${example}" length)
  math(EXPR after "${at} + ${length}")
  string(SUBSTRING "${rest}" ${after} -1 rest)
endforeach()

set(configure -S ${SOURCE_DIR}/tests/package -B ${WORK_DIR}/build
    -DHOST_PROGRAM_DIR=${WORK_DIR}/programs "-DCMAKE_CXX_FLAGS=${FLAGS}"
    "-DCMAKE_EXE_LINKER_FLAGS=${FLAGS}" -DBUILD_SHARED_LIBS=${SHARED})
if(MODE STREQUAL "installed")
  run(${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${WORK_DIR}/prefix)
  # The crystal model's tables stay inside the host library: no installed header needs gemmi.
  file(GLOB_RECURSE installed_headers ${WORK_DIR}/prefix/include/*.h)
  foreach(header ${installed_headers})
    file(STRINGS ${header} gemmi_lines REGEX "gemmi")
    if(gemmi_lines)
      message(FATAL_ERROR "${header} mentions gemmi: ${gemmi_lines}")
    endif()
  endforeach()
  # The installed program starts from its prefix, wherever that is.
  if(EXISTS ${WORK_DIR}/prefix/bin/cif-check)
    # ... and finds the dictionaries installed with it by name.
    run(${WORK_DIR}/prefix/bin/cif-check -d core --rules ${SOURCE_DIR}/data/cif/1000026-MgB2.cif)
    if(NOT output MATCHES "Created non-standard data item _cod_database_code.*1000026-MgB2.cif: 1 blocks, 30 items, 2 loops, 0 errors.*: ok")
      message(FATAL_ERROR "the installed cif-check did not check the file:\n${output}")
    endif()
  endif()
  foreach(installed share/cif/dict/cif_core.dic share/cif/dict/ddl_core.dic share/doc/cif/LICENSE
          include/cif/CifVersion.h)
    if(NOT EXISTS ${WORK_DIR}/prefix/${installed})
      message(FATAL_ERROR "${installed} is not installed")
    endif()
  endforeach()
  run(${CMAKE_COMMAND} ${configure} -DCMAKE_PREFIX_PATH=${WORK_DIR}/prefix)
else()
  run(${CMAKE_COMMAND} ${configure} -DCIF_SOURCE_DIR=${SOURCE_DIR})
endif()
run(${CMAKE_COMMAND} --build ${WORK_DIR}/build -j 2)
run(${WORK_DIR}/build/program_0 ${SOURCE_DIR}/data/dict/cif_core.dic
    ${SOURCE_DIR}/data/cif/2003526-r-factor-with-esd.cif)
if(NOT output MATCHES "_cell_length_a")
  message(FATAL_ERROR "the example did not write the document back:\n${output}")
endif()
run(${WORK_DIR}/build/program_1 ${SOURCE_DIR}/data/cif/1100893.cif)
if(NOT output MATCHES "^10.1565 su 0.0002\nChase, Preston A.\n.*\nPd1\nP1\n")
  message(FATAL_ERROR "the numbers and rows example did not read the structure:\n${output}")
endif()
run(${WORK_DIR}/build/program_2 ${SOURCE_DIR}/data/cif/2205053-molecule.cif)
if(NOT output MATCHES "2205053: P21/c, 12 atoms, 2 x C4 H8 Br2 Cu N8 in the cell")
  message(FATAL_ERROR "the database example did not list the structure:\n${output}")
endif()
