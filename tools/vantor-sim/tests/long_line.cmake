# Runs the bench along a generated long line and requires that its own unit agrees with the
# library in every frame.
#   cmake -DSIM=... -DLIBRARY=... -DGENERATOR=... -DWORK=... -P long_line.cmake
execute_process(COMMAND bash ${GENERATOR} 60 OUTPUT_FILE ${WORK}/long_line.toml
  RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "cannot generate the line (${result})")
endif()
# Not --quiet: quiet, the bench leaves its own unit out.
execute_process(COMMAND ${SIM} --library ${LIBRARY} --scenario ${WORK}/long_line.toml
  OUTPUT_VARIABLE output ERROR_VARIABLE errors RESULT_VARIABLE result)
if(NOT result EQUAL 0 OR errors MATCHES "differs")
  message(FATAL_ERROR "vantor-sim (${result}):\n${errors}")
endif()
