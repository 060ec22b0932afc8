# Runs the bench and checks its exit status and what it prints (standard output and error
# together, in the order they come).
#   cmake -DSIM=... -DSTATUS=n -DOUTPUT=regex -DARGS=a|b|c -P expect_status.cmake
string(REPLACE "|" ";" ARGS "${ARGS}")
execute_process(COMMAND ${SIM} ${ARGS} OUTPUT_VARIABLE output ERROR_VARIABLE output
  RESULT_VARIABLE result)
if(NOT result EQUAL STATUS)
  message(FATAL_ERROR "exit status ${result}, not ${STATUS}:\n${output}")
endif()
if(NOT output MATCHES "${OUTPUT}")
  message(FATAL_ERROR "output does not match '${OUTPUT}':\n${output}")
endif()
