# tarnwick_add_test(<name> SOURCES <files...> [LIBS <targets...>]
#                   [PROPERTIES <property> <value>...])
#
# One GoogleTest program per source file under tests/, registered with CTest
# test by test; PROPERTIES are set on each of its tests.
function(tarnwick_add_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS;PROPERTIES" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gmock GTest::gtest_main)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 PROPERTIES TIMEOUT 120 ${ARG_PROPERTIES})
endfunction()
