# Lays out a declared line and compares the scenario written with the one kept in the
# repository: the examples the guide shows are what `vantor-sim layout` writes today.
#   cmake -DSIM=... -DLIBRARY=... -DDECLARED=... -DEXPECTED=... -DACTUAL=... -P layout_written.cmake
# On a difference the new scenario is left at ACTUAL; copy it over EXPECTED once it is right.
execute_process(COMMAND ${SIM} --library ${LIBRARY} layout ${DECLARED} --write ${ACTUAL}
  OUTPUT_VARIABLE output ERROR_VARIABLE errors RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "vantor-sim layout failed (${result}):\n${output}${errors}")
endif()
if(NOT errors STREQUAL "")
  message(FATAL_ERROR "the layout is warned of:\n${errors}")
endif()
file(READ ${EXPECTED} expected)
file(READ ${ACTUAL} actual)
if(NOT actual STREQUAL expected)
  execute_process(COMMAND diff -u ${EXPECTED} ${ACTUAL})
  message(FATAL_ERROR "${EXPECTED} is not what vantor-sim layout writes; that is ${ACTUAL}")
endif()
