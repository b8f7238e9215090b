# Fails when a file of a folder the build governs includes a header of a
# governed folder it may not use. Run by the build (CMakeLists.txt) before
# any governed library compiles:
#
#   cmake -DROOT=SOURCE_DIR -DRULES="folder=may,may|folder=...|..." -DSTAMP=FILE -P check_includes.cmake
#
# A folder is a path from ROOT: a core folder (game), or one of the tools
# (tools/gomocup/referee). A rule may also name one file (a program's
# main.cpp, above the library of its folder): that file then follows its
# own rule, not its folder's.
#
# An include "P" belongs to the longest folder of RULES (or tools/, tests/)
# that P lies in; it is forbidden in folder F when that folder is neither F
# itself nor among F's allowed ones.
cmake_minimum_required(VERSION 3.25)
string(REPLACE "|" ";" rules "${RULES}")
set(governed tools tests)
set(own_rules "")
foreach(rule IN LISTS rules)
  string(REGEX REPLACE "=.*" "" folder "${rule}")
  list(APPEND governed ${folder})
  if(NOT IS_DIRECTORY "${ROOT}/${folder}")
    list(APPEND own_rules "${ROOT}/${folder}")
  endif()
endforeach()

set(faults "")
foreach(rule IN LISTS rules)
  string(REGEX MATCH "^([a-z_/.]+)=(.*)$" matched "${rule}")
  set(subject ${CMAKE_MATCH_1})
  string(REPLACE "," ";" may "${CMAKE_MATCH_2}")
  if(IS_DIRECTORY "${ROOT}/${subject}")
    set(folder ${subject})
    file(GLOB files "${ROOT}/${folder}/*.h" "${ROOT}/${folder}/*.cpp")
    if(own_rules)
      list(REMOVE_ITEM files ${own_rules})
    endif()
  else()
    get_filename_component(folder "${subject}" DIRECTORY)
    set(files "${ROOT}/${subject}")
  endif()
  foreach(file IN LISTS files)
    file(STRINGS "${file}" includes REGEX "^[ \t]*#[ \t]*include[ \t]*\"[^\"/]+/")
    foreach(line IN LISTS includes)
      string(REGEX REPLACE "^[^\"]*\"([^\"]+)\".*$" "\\1" path "${line}")
      set(used "")
      foreach(candidate IN LISTS governed)
        string(LENGTH "${candidate}" length)
        string(LENGTH "${used}" longest)
        if(path MATCHES "^${candidate}/" AND length GREATER longest)
          set(used ${candidate})
        endif()
      endforeach()
      if(used AND NOT used STREQUAL folder AND NOT used IN_LIST may)
        file(RELATIVE_PATH where "${ROOT}" "${file}")
        list(APPEND faults "${where}: ${line}  (${subject} may include only: ${folder} ${may})")
      endif()
    endforeach()
  endforeach()
endforeach()

if(faults)
  list(JOIN faults "\n  " text)
  message(FATAL_ERROR "An include against the layering of the folders:\n  ${text}")
endif()
file(TOUCH "${STAMP}")
