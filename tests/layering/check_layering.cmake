# Fails when a room includes from a room that is not below it, or when Qt is included outside
# the window. Run with -DSOURCE_DIR=<tree holding src/>.
#
# Ranks, lowest first. A room includes from itself and from rooms of a lower rank only; rooms of
# the same rank never include each other.
set(ranks
  common=0 panel=1 records=2 board=2 sim=3 catalogue=3 diagnosis=3 buffers=4 operation=5
  workbench=5 backups=5 parallel=6 flash=6 serial=6 dispatch=7 shell=8 production=9 console=10
  gui=10)

foreach(entry IN LISTS ranks)
  string(REPLACE "=" ";" pair "${entry}")
  list(GET pair 0 room)
  list(GET pair 1 rank)
  set(rank_${room} ${rank})
  list(APPEND rooms ${room})
endforeach()

set(violations "")
file(GLOB_RECURSE sources RELATIVE "${SOURCE_DIR}/src" "${SOURCE_DIR}/src/*.h" "${SOURCE_DIR}/src/*.cpp")
foreach(source IN LISTS sources)
  string(REGEX MATCH "^[^/]+" room "${source}")
  if(NOT DEFINED rank_${room})
    string(APPEND violations "\n  src/${source}: folder '${room}' has no rank")
    continue()
  endif()
  file(STRINGS "${SOURCE_DIR}/src/${source}" includes REGEX "^[ \t]*#[ \t]*include")
  foreach(line IN LISTS includes)
    if(line MATCHES "#[ \t]*include[ \t]*\"([a-z_]+)/")
      set(target "${CMAKE_MATCH_1}")
      if(target STREQUAL room OR NOT DEFINED rank_${target})
        continue()
      endif()
      if(NOT rank_${target} LESS rank_${room})
        string(APPEND violations "\n  src/${source} (${room}) includes from ${target}")
      endif()
    elseif(line MATCHES "#[ \t]*include[ \t]*<Q" AND NOT room STREQUAL "gui")
      string(APPEND violations "\n  src/${source} includes Qt outside src/gui")
    endif()
  endforeach()
endforeach()

if(violations)
  message(FATAL_ERROR "Layering broken:${violations}")
endif()
message(STATUS "Layering holds for ${SOURCE_DIR}/src")
