# Fails when a file of a core folder includes a header of a core folder it
# may not use. Run by the build (CMakeLists.txt) before the core compiles:
#
#   cmake -DROOT=SOURCE_DIR -DRULES="folder=may,may|folder=...|..." -DSTAMP=FILE -P check_includes.cmake
#
# An include "X/..." is forbidden in folder F when X is a folder of RULES
# (or tools/, tests/) other than F itself and not among F's allowed ones.
cmake_minimum_required(VERSION 3.25)
string(REPLACE "|" ";" rules "${RULES}")
set(core tools tests)
foreach(rule IN LISTS rules)
  string(REGEX REPLACE "=.*" "" folder "${rule}")
  list(APPEND core ${folder})
endforeach()

set(faults "")
foreach(rule IN LISTS rules)
  string(REGEX MATCH "^([a-z]+)=(.*)$" matched "${rule}")
  set(folder ${CMAKE_MATCH_1})
  string(REPLACE "," ";" may "${CMAKE_MATCH_2}")
  file(GLOB files "${ROOT}/${folder}/*.h" "${ROOT}/${folder}/*.cpp")
  foreach(file IN LISTS files)
    file(STRINGS "${file}" includes REGEX "^[ \t]*#[ \t]*include[ \t]*\"[^\"/]+/")
    foreach(line IN LISTS includes)
      string(REGEX REPLACE "^[^\"]*\"([^\"/]+)/.*$" "\\1" used "${line}")
      if(used IN_LIST core AND NOT used STREQUAL folder AND NOT used IN_LIST may)
        file(RELATIVE_PATH where "${ROOT}" "${file}")
        list(APPEND faults "${where}: ${line}  (${folder}/ may include only: ${folder} ${may})")
      endif()
    endforeach()
  endforeach()
endforeach()

if(faults)
  list(JOIN faults "\n  " text)
  message(FATAL_ERROR "An include against the layering of the core:\n  ${text}")
endif()
file(TOUCH "${STAMP}")
