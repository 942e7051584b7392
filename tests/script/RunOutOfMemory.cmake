# Runs a script that exhausts memory through scriptrun, optionally under a virtual memory
# limit of the shell (ULIMIT, in KiB), and checks how it ends. Arguments: SCRIPTRUN, SCRIPT,
# OPTIONS (a ;-list of scriptrun options), ULIMIT, STATUS (the exit status expected), OUTPUT
# and ERRORS (what standard output and standard error must hold exactly).
set(command ${SCRIPTRUN} ${OPTIONS} ${SCRIPT})
if(ULIMIT)
  list(JOIN command " " joined)
  set(command sh -c "ulimit -v ${ULIMIT} && exec ${joined}")
endif()
execute_process(COMMAND ${command}
  OUTPUT_VARIABLE output ERROR_VARIABLE errors RESULT_VARIABLE status TIMEOUT 120)
if(NOT status STREQUAL STATUS)
  message(FATAL_ERROR "${SCRIPT} ended with ${status}, not ${STATUS}:\n${errors}\nOutput:\n${output}")
endif()
if(NOT output STREQUAL "${OUTPUT}" OR NOT errors STREQUAL "${ERRORS}")
  message(FATAL_ERROR "${SCRIPT} printed:\n${output}\nand on standard error:\n${errors}")
endif()
