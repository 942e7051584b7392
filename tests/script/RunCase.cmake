# Runs one script case through scriptrun and compares its standard output with the expected
# text. Arguments: SCRIPTRUN, CASE (the script file), EXPECTED (its .out file).
execute_process(COMMAND ${SCRIPTRUN} --locale C ${CASE}
  OUTPUT_VARIABLE output ERROR_VARIABLE errors RESULT_VARIABLE status TIMEOUT 50)
file(READ ${EXPECTED} expected)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "scriptrun ${CASE} ended with ${status}:\n${errors}\nOutput:\n${output}")
endif()
if(NOT output STREQUAL expected)
  message(FATAL_ERROR "${CASE} printed:\n${output}\nbut ${EXPECTED} holds:\n${expected}")
endif()
