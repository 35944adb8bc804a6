# Runs one operator script through sorvell-cli and compares what it printed with NAME.expected,
# times of day masked, and its exit status with the number on the expected file's first line
# ("exit N").
file(REMOVE_RECURSE ${WORKDIR})
file(MAKE_DIRECTORY ${WORKDIR})
execute_process(
  COMMAND ${CLI} --board sim:5@378 --workdir ${WORKDIR} --progdir ${WORKDIR} ${SCRIPT}
  WORKING_DIRECTORY ${WORKDIR}
  OUTPUT_VARIABLE output
  ERROR_VARIABLE errors
  RESULT_VARIABLE status)
string(REGEX REPLACE "[0-9][0-9]:[0-9][0-9]:[0-9][0-9]" "hh:mm:ss" output "${output}")
file(READ ${EXPECTED} expected)
string(REGEX MATCH "^exit ([0-9]+)\n" header "${expected}")
set(expected_status ${CMAKE_MATCH_1})
string(REGEX REPLACE "^exit [0-9]+\n" "" expected "${expected}")
if(NOT status EQUAL expected_status)
  message(FATAL_ERROR "exit status ${status}, expected ${expected_status}\nstderr:\n${errors}")
endif()
if(NOT output STREQUAL expected)
  message(FATAL_ERROR "output differs.\n--- got:\n${output}\n--- expected:\n${expected}")
endif()
