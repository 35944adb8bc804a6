# Runs one operator script through sorvell-cli and compares what it printed with NAME.expected,
# times of day and the scratch folder's path masked, and its exit status with the number on the expected file's first line
# ("exit N"). A first script line "#! ARGS" gives the command-line arguments (default: a model 5
# board at 378h); NAME.ini, when present, is put in place as the board configuration file.
file(REMOVE_RECURSE ${WORKDIR})
file(MAKE_DIRECTORY ${WORKDIR})
# Image files the scripts name sit beside them; scripts run in a scratch folder with copies.
get_filename_component(script_dir ${SCRIPT} DIRECTORY)
file(GLOB images ${script_dir}/*.bin)
if(images)
  file(COPY ${images} DESTINATION ${WORKDIR})
endif()
set(args --board sim:5@378)
file(STRINGS ${SCRIPT} first_line LIMIT_COUNT 1)
if(first_line MATCHES "^#! (.*)$")
  separate_arguments(args UNIX_COMMAND "${CMAKE_MATCH_1}")
endif()
string(REGEX REPLACE "\\.sorvell$" ".ini" ini ${SCRIPT})
if(EXISTS ${ini})
  file(READ ${ini} ini_text)
  string(REPLACE "\n" "\r\n" ini_text "${ini_text}")
  file(WRITE ${WORKDIR}/sorvell6.ini "${ini_text}")
endif()
execute_process(
  COMMAND ${CLI} ${args} --workdir ${WORKDIR} --progdir ${WORKDIR} --datadir ${WORKDIR} ${SCRIPT}
  WORKING_DIRECTORY ${WORKDIR}
  OUTPUT_VARIABLE output
  ERROR_VARIABLE errors
  RESULT_VARIABLE status)
string(REGEX REPLACE "[0-9][0-9]:[0-9][0-9]:[0-9][0-9]" "hh:mm:ss" output "${output}")
# Files kept in the data folder (the backups) are named by their path, which is the scratch
# folder's here.
string(REPLACE "${WORKDIR}" "WORKDIR" output "${output}")
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
