# Fails when a room of the tree includes a header of a room it may not use.
# The rules are the table of docs/architecture.md; a header is known by its
# file name (the tree's includes are by name, with each target's folders on
# the include path), so a name that exists only in a forbidden room is a
# breach whatever folder the include spells.
#   cmake -DSOURCE_ROOT=<tree> -P RoomIncludes.cmake

cmake_minimum_required(VERSION 3.25)

set(rooms common platform hdd wmi folder history diskpass checker tempmon helper)
set(allowed_common "")
set(allowed_platform common)
set(allowed_hdd common platform)
set(allowed_wmi common platform)
set(allowed_folder common)
set(allowed_history common)
set(allowed_diskpass common platform hdd wmi history)
set(allowed_checker common platform hdd wmi folder history diskpass)
set(allowed_tempmon common platform hdd wmi diskpass)
set(allowed_helper common platform)

# Which rooms hold a header of each name.
foreach(room ${rooms})
  file(GLOB_RECURSE headers RELATIVE ${SOURCE_ROOT} ${SOURCE_ROOT}/${room}/*.h)
  foreach(header ${headers})
    get_filename_component(name ${header} NAME)
    string(MAKE_C_IDENTIFIER "${name}" key)
    list(APPEND holders_${key} ${room})
  endforeach()
endforeach()

set(breaches "")
foreach(room ${rooms})
  file(GLOB_RECURSE sources RELATIVE ${SOURCE_ROOT} ${SOURCE_ROOT}/${room}/*.h
       ${SOURCE_ROOT}/${room}/*.cpp)
  foreach(source ${sources})
    file(STRINGS ${SOURCE_ROOT}/${source} includes REGEX "^[ \t]*#[ \t]*include[ \t]*[\"<]")
    foreach(line ${includes})
      string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*[\"<]([^\">]+)[\">].*" "\\1" included "${line}")
      get_filename_component(name "${included}" NAME)
      string(MAKE_C_IDENTIFIER "${name}" key)
      if(NOT DEFINED holders_${key})
        continue() # Qt, the C++ library, the system
      endif()
      set(reachable FALSE)
      foreach(holder ${holders_${key}})
        if(holder STREQUAL room OR holder IN_LIST allowed_${room})
          set(reachable TRUE)
        endif()
      endforeach()
      if(NOT reachable)
        list(APPEND breaches "${source}: ${included} (from ${holders_${key}})")
      endif()
    endforeach()
  endforeach()
endforeach()

if(breaches)
  list(JOIN breaches "\n  " text)
  message(FATAL_ERROR "Includes across the rooms' rules:\n  ${text}")
endif()
message(STATUS "Every room includes only the rooms it may use.")
