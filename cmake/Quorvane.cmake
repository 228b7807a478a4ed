# Helpers shared by the subsystem folders.

# quorvane_library(<name> [DEPS libs...])
# A static library from every .cpp of the calling folder; its public include
# root is src/, so code includes "foundation/QelParser.h" and the like.
function(quorvane_library name)
  cmake_parse_arguments(ARG "" "" "DEPS;PRIVATE_DEPS" ${ARGN})
  file(GLOB _sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  add_library(quorvane_${name} STATIC ${_sources})
  target_include_directories(quorvane_${name} PUBLIC ${CMAKE_SOURCE_DIR}/src)
  if(ARG_DEPS)
    target_link_libraries(quorvane_${name} PUBLIC ${ARG_DEPS})
  endif()
  if(ARG_PRIVATE_DEPS)
    target_link_libraries(quorvane_${name} PRIVATE ${ARG_PRIVATE_DEPS})
  endif()
endfunction()

# quorvane_tests(<subsystem> [DEPS libs...])
# One GoogleTest executable per subsystem from every .cpp of the calling folder.
function(quorvane_tests sub)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  file(GLOB _sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  add_executable(${sub}_tests ${_sources})
  target_link_libraries(${sub}_tests PRIVATE ${ARG_DEPS} GTest::gtest GTest::gtest_main GTest::gmock)
  target_include_directories(${sub}_tests PRIVATE ${CMAKE_SOURCE_DIR}/src ${CMAKE_SOURCE_DIR}/tests)
  target_compile_definitions(${sub}_tests PRIVATE
    QUORVANE_FIXTURES="${CMAKE_SOURCE_DIR}/tests/fixtures"
    QUORVANE_PROGRAM_DIR="${QUORVANE_PROGRAM_DIR}")
  gtest_discover_tests(${sub}_tests DISCOVERY_TIMEOUT 60 PROPERTIES LABELS ${sub})
endfunction()
