# Runs the outline generator and compares its output with the committed table.
execute_process(COMMAND ${GENERATOR} ${OUTPUT} RESULT_VARIABLE result ERROR_QUIET)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "outlinegen failed: ${result}")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${OUTPUT} ${COMMITTED}
                RESULT_VARIABLE differ)
if(NOT differ EQUAL 0)
    message(FATAL_ERROR "glyphs/outline_data.cpp differs from the generator's output; "
                        "regenerate it with: outlinegen glyphs/outline_data.cpp")
endif()
