# Runs the bench on bad input and checks that it refuses it: a non-zero exit, an error that
# matches EXPECTED_ERROR, and no timeline at all.
#   cmake -DSIM=... -DEXPECTED_ERROR=regex -DARGS=a|b|c -P expect_failure.cmake
string(REPLACE "|" ";" ARGS "${ARGS}")
execute_process(COMMAND ${SIM} ${ARGS}
  OUTPUT_VARIABLE output ERROR_VARIABLE errors RESULT_VARIABLE result)
if(result EQUAL 0)
  message(FATAL_ERROR "vantor-sim accepted bad input:\n${output}")
endif()
if(NOT errors MATCHES "${EXPECTED_ERROR}")
  message(FATAL_ERROR "error does not match '${EXPECTED_ERROR}':\n${errors}")
endif()
if(NOT output STREQUAL "")
  message(FATAL_ERROR "something ran before the error:\n${output}")
endif()
