# Testing the Windows build: GoogleTest built from Debian's sources for the
# target, and every test program run under Wine (tests/windows/).

set(TARNWICK_GOOGLETEST_SOURCE /usr/src/googletest CACHE PATH
    "GoogleTest sources, built for the target (Debian package googletest)")
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(${TARNWICK_GOOGLETEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest
                 EXCLUDE_FROM_ALL SYSTEM)
foreach(library gtest gtest_main gmock gmock_main)
  if(NOT TARGET GTest::${library})
    add_library(GTest::${library} ALIAS ${library})
  endif()
endforeach()

find_program(TARNWICK_WINE wine REQUIRED)
find_program(TARNWICK_WINEBOOT wineboot REQUIRED)
find_program(TARNWICK_WINESERVER wineserver REQUIRED)
find_program(TARNWICK_XVFB Xvfb REQUIRED)
set(TARNWICK_WINEPREFIX ${CMAKE_BINARY_DIR}/wineprefix)
set(TARNWICK_WINE_SESSION ${CMAKE_BINARY_DIR}/wine-session)
configure_file(${PROJECT_SOURCE_DIR}/tests/windows/run_under_wine.sh.in
               ${CMAKE_BINARY_DIR}/run-under-wine
               @ONLY FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE
               GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

# Every test program of this directory runs through it; its tests are listed
# when CTest runs, not while building, so that building needs no Wine.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_BINARY_DIR}/run-under-wine)
set(CMAKE_GTEST_DISCOVER_TESTS_DISCOVERY_MODE PRE_TEST)
