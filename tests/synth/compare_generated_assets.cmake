# Runs the sound-definition generator into OUT and compares each file with ASSETS.
file(MAKE_DIRECTORY ${OUT})
execute_process(COMMAND ${GENERATOR} ${OUT} RESULT_VARIABLE result OUTPUT_QUIET)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "generator failed: ${result}")
endif()
foreach(name laser02 pop01 collect01 drain)
  execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${OUT}/${name}.wkt ${ASSETS}/${name}.wkt
                  RESULT_VARIABLE differs)
  if(NOT differs EQUAL 0)
    message(FATAL_ERROR "${name}.wkt differs from what the generator writes")
  endif()
endforeach()
