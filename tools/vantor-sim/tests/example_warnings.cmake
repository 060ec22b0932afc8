# Runs the bench and requires that it prints on standard error exactly the warnings that the
# scenario's header says it shows, each as a comment "#   warning at line N: TEXT" (TEXT: how
# the warning begins), in the order they come; nothing at all where the header names none.
#   cmake -DSIM=... -DSCENARIO=... -DARGS=a|b -P example_warnings.cmake
string(REPLACE "|" ";" arguments "${ARGS}")
execute_process(COMMAND ${SIM} --pin-random ${arguments}
  OUTPUT_QUIET ERROR_VARIABLE errors RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "vantor-sim failed (${result}):\n${errors}")
endif()
# Progress lines come on slow runs only; they are no part of the result.
string(REGEX REPLACE "vantor-sim: [0-9]+% of the run done\n" "" errors "${errors}")
file(READ ${SCENARIO} text)
# CMake's lists are split at semicolons, and the warnings hold some.
string(REPLACE ";" "<semicolon>" errors "${errors}")
string(REPLACE ";" "<semicolon>" text "${text}")
string(REGEX MATCHALL "\n#[ ]+warning at line [0-9]+: [^\n]*" expected "\n${text}")
string(REGEX MATCHALL "[^\n]+" actual "${errors}")
list(LENGTH expected count)
list(LENGTH actual printed)
if(NOT count EQUAL printed)
  message(FATAL_ERROR "${printed} lines on standard error, not the ${count} warnings that "
                      "${SCENARIO} says it shows:\n${errors}")
endif()
foreach(warning IN ZIP_LISTS expected actual)
  string(REGEX MATCH "line ([0-9]+): (.*)" ignored "${warning_0}")
  string(FIND "${warning_1}" ":${CMAKE_MATCH_1}: warning: ${CMAKE_MATCH_2}" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "expected the warning at line ${CMAKE_MATCH_1}, '${CMAKE_MATCH_2}', "
                        "not:\n${warning_1}")
  endif()
endforeach()
