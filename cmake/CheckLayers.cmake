# Refuses an include that runs against the layers: a file may include from its own folder
# and from folders of a lower rank only. Tests (*_test.cpp), fuzz targets (*_fuzz.cpp),
# tests/ and bench/ may include anything.
#
# Run as a script: cmake -DROOT=<source dir> [-DSTAMP=<file to touch>] -P CheckLayers.cmake
# Fails with every offending file, line and include.
set(ranks base=1 store=2 crawl=3 query=4 view=5 app=6 gui=7 cli=7)

function(layer_rank folder out)
  set(rank "")
  foreach(entry ${ranks})
    string(REPLACE "=" ";" pair "${entry}")
    list(GET pair 0 name)
    list(GET pair 1 value)
    if(name STREQUAL folder)
      set(rank ${value})
    endif()
  endforeach()
  set(${out} "${rank}" PARENT_SCOPE)
endfunction()

if(NOT ROOT)
  message(FATAL_ERROR "CheckLayers.cmake needs -DROOT=<source dir>")
endif()

set(problems "")
foreach(entry ${ranks})
  string(REPLACE "=" ";" pair "${entry}")
  list(GET pair 0 folder)
  list(GET pair 1 rank)
  file(GLOB sources "${ROOT}/${folder}/*.h" "${ROOT}/${folder}/*.cpp")
  list(FILTER sources EXCLUDE REGEX "_(test|fuzz)\\.cpp$")
  foreach(source ${sources})
    file(STRINGS "${source}" lines REGEX "^[ \t]*#[ \t]*include[ \t]*\"[^\"/]+/")
    foreach(line ${lines})
      string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*\"([^\"]*)\".*" "\\1" included "${line}")
      string(REGEX REPLACE "/.*" "" target "${included}")
      if(target STREQUAL folder)
        continue()
      endif()
      layer_rank("${target}" target_rank)
      if(target_rank STREQUAL "")
        # tests/, bench/ and the like are no layer: the engine never includes them.
        set(bad TRUE)
      elseif(target_rank GREATER_EQUAL rank)
        set(bad TRUE)
      else()
        set(bad FALSE)
      endif()
      if(bad)
        file(RELATIVE_PATH name "${ROOT}" "${source}")
        string(APPEND problems "  ${name}: #include \"${included}\" (${folder} may include only"
                               " folders below it)\n")
      endif()
    endforeach()
  endforeach()
endforeach()

if(problems)
  message(FATAL_ERROR "Includes against the layers (base < store < crawl < query < view < app"
                      " < gui, cli):\n${problems}")
endif()
if(STAMP)
  file(TOUCH "${STAMP}")
endif()
