# Conventions that let each subsystem's folder build itself:
#   NAME/*.cpp           the subsystem's library (ferrowyn_NAME)
#   NAME/*_test.cpp      its unit tests, one executable NAME_tests run by ctest
#   NAME/*_fuzz.cpp      fuzz targets: libFuzzer binaries with FERROWYN_FUZZ, otherwise
#                        each one runs under a random-input driver as a test
#   every non-test source of the layered folders is checked by cmake/CheckLayers.cmake
#                        before anything is built: an include from a folder above fails
set(FERROWYN_ROOT ${CMAKE_CURRENT_LIST_DIR}/..)

# The layer check runs again whenever a checked file changes.
file(GLOB layered_sources CONFIGURE_DEPENDS
  ${FERROWYN_ROOT}/base/*.h ${FERROWYN_ROOT}/base/*.cpp
  ${FERROWYN_ROOT}/store/*.h ${FERROWYN_ROOT}/store/*.cpp
  ${FERROWYN_ROOT}/crawl/*.h ${FERROWYN_ROOT}/crawl/*.cpp
  ${FERROWYN_ROOT}/query/*.h ${FERROWYN_ROOT}/query/*.cpp
  ${FERROWYN_ROOT}/view/*.h ${FERROWYN_ROOT}/view/*.cpp
  ${FERROWYN_ROOT}/app/*.h ${FERROWYN_ROOT}/app/*.cpp
  ${FERROWYN_ROOT}/gui/*.h ${FERROWYN_ROOT}/gui/*.cpp
  ${FERROWYN_ROOT}/cli/*.h ${FERROWYN_ROOT}/cli/*.cpp)
list(FILTER layered_sources EXCLUDE REGEX "_(test|fuzz)\\.cpp$")
add_custom_command(
  OUTPUT ${CMAKE_BINARY_DIR}/layers_checked.stamp
  COMMAND ${CMAKE_COMMAND} -DROOT=${FERROWYN_ROOT}
          -DSTAMP=${CMAKE_BINARY_DIR}/layers_checked.stamp -P ${FERROWYN_ROOT}/cmake/CheckLayers.cmake
  DEPENDS ${layered_sources} ${FERROWYN_ROOT}/cmake/CheckLayers.cmake
  COMMENT "Checking that includes follow the layers"
  VERBATIM)
add_custom_target(layer_check ALL DEPENDS ${CMAKE_BINARY_DIR}/layers_checked.stamp)

function(ferrowyn_module name)
  cmake_parse_arguments(M "" "" "DEPS" ${ARGN})
  file(GLOB all CONFIGURE_DEPENDS ${FERROWYN_ROOT}/${name}/*.cpp)
  file(GLOB tests CONFIGURE_DEPENDS ${FERROWYN_ROOT}/${name}/*_test.cpp)
  file(GLOB fuzzers CONFIGURE_DEPENDS ${FERROWYN_ROOT}/${name}/*_fuzz.cpp)
  set(sources ${all})
  if(tests)
    list(REMOVE_ITEM sources ${tests})
  endif()
  if(fuzzers)
    list(REMOVE_ITEM sources ${fuzzers})
  endif()
  file(GLOB headers CONFIGURE_DEPENDS ${FERROWYN_ROOT}/${name}/*.h)
  if(sources)
    add_library(ferrowyn_${name} STATIC ${sources} ${headers})
    target_include_directories(ferrowyn_${name} PUBLIC ${FERROWYN_ROOT})
    target_link_libraries(ferrowyn_${name} PUBLIC ${M_DEPS})
  else()
    add_library(ferrowyn_${name} INTERFACE)
    target_include_directories(ferrowyn_${name} INTERFACE ${FERROWYN_ROOT})
    target_link_libraries(ferrowyn_${name} INTERFACE ${M_DEPS})
  endif()
  add_dependencies(ferrowyn_${name} layer_check)
  set_property(GLOBAL APPEND PROPERTY FERROWYN_TEST_MODULES ${name})
  set_property(GLOBAL PROPERTY FERROWYN_TESTS_${name} "${tests}")
  set_property(GLOBAL PROPERTY FERROWYN_FUZZERS_${name} "${fuzzers}")
endfunction()
