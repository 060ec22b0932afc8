# Runs the bench with pinned random periods and compares its timeline, followed by its warnings,
# with a stored one. The bench's own unit must agree with the library all along.
#   cmake -DSIM=... -DARGS=a|b -DEXPECTED=... -DACTUAL=... -P golden.cmake
# On a difference the new timeline is left at ACTUAL; copy it over EXPECTED once it is right.
string(REPLACE "|" ";" arguments "${ARGS}")
execute_process(COMMAND ${SIM} --pin-random ${arguments}
  OUTPUT_VARIABLE actual ERROR_VARIABLE errors RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "vantor-sim failed (${result}):\n${errors}")
endif()
if(errors MATCHES "differs from the bench's own unit")
  message(FATAL_ERROR "the bench's own unit and the library disagree:\n${errors}")
endif()
# Progress lines come on slow runs only; they are no part of the result.
string(REGEX REPLACE "vantor-sim: [0-9]+% of the run done\n" "" errors "${errors}")
# Warnings name the scenario by the path given; the stored ones by the file's name alone.
list(FIND arguments --scenario at)
if(at GREATER -1)
  math(EXPR at "${at} + 1")
  list(GET arguments ${at} scenario)
  get_filename_component(folder ${scenario} DIRECTORY)
  string(REPLACE "${folder}/" "" errors "${errors}")
endif()
if(NOT errors STREQUAL "")
  string(APPEND actual "\n-- warnings --\n${errors}")
endif()
file(READ ${EXPECTED} expected)
if(NOT actual STREQUAL expected)
  file(WRITE ${ACTUAL} "${actual}")
  execute_process(COMMAND diff -u ${EXPECTED} ${ACTUAL})
  message(FATAL_ERROR "timeline differs from ${EXPECTED}; the new one is ${ACTUAL}")
endif()
