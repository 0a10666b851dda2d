# Test helpers shared by both presets.
#
# veltrin_unit_test(NAME sources...)  portable tests (no Windows API); built in
#                                     both presets, run natively under the
#                                     sanitizers and, in the windows preset,
#                                     under Wine.
# veltrin_wine_test(NAME sources...)  tests that need Windows; windows preset only.
#
# Each test links the libraries it tests itself (target_link_libraries).
#
# Windows test programs run through Wine in one throwaway prefix per ctest run:
# the fixture test "wine_prefix_setup" creates it (and registers the simulated
# machine), "wine_prefix_teardown" stops its wineserver.

set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest "${PROJECT_BINARY_DIR}/googletest" EXCLUDE_FROM_ALL SYSTEM)

include(GoogleTest)

if(WIN32)
  set(VELTRIN_WINEPREFIX "${PROJECT_BINARY_DIR}/wineprefix")
  set(VELTRIN_WINE_RUN "${PROJECT_SOURCE_DIR}/cmake/wine-run.sh")
  # add_test() of a target then runs it as: wine-run.sh PREFIX program args...
  set(CMAKE_CROSSCOMPILING_EMULATOR "${VELTRIN_WINE_RUN};${VELTRIN_WINEPREFIX}")

  add_test(NAME wine_prefix_setup
    COMMAND "${PROJECT_SOURCE_DIR}/cmake/wine-prefix.sh" setup "${VELTRIN_WINEPREFIX}"
            "$<TARGET_FILE:simulated_machine>")
  set_tests_properties(wine_prefix_setup PROPERTIES FIXTURES_SETUP wine_prefix TIMEOUT 180)
  add_test(NAME wine_prefix_teardown
    COMMAND "${PROJECT_SOURCE_DIR}/cmake/wine-prefix.sh" teardown "${VELTRIN_WINEPREFIX}")
  set_tests_properties(wine_prefix_teardown PROPERTIES FIXTURES_CLEANUP wine_prefix)
endif()

function(_veltrin_add_gtest name)
  target_link_libraries(${name} PRIVATE GTest::gmock GTest::gtest_main)
  target_include_directories(${name} PRIVATE "${PROJECT_SOURCE_DIR}/tests/support")
  veltrin_warnings(${name})
  if(WIN32)
    # A crash fails the test program (see the file).
    target_sources(${name} PRIVATE "${PROJECT_SOURCE_DIR}/tests/support/CrashExitCode.cpp")
    # One ctest entry per test program: discovering the cases would start
    # Wine before the prefix exists.
    add_test(NAME ${name} COMMAND ${name} --gtest_brief=1)
    set_tests_properties(${name} PROPERTIES
      FIXTURES_REQUIRED wine_prefix
      TIMEOUT 600)
  else()
    gtest_discover_tests(${name} DISCOVERY_TIMEOUT 30)
  endif()
endfunction()

function(veltrin_unit_test name)
  add_executable(${name} ${ARGN})
  _veltrin_add_gtest(${name})
endfunction()

function(veltrin_wine_test name)
  if(NOT WIN32)
    return()
  endif()
  add_executable(${name} ${ARGN})
  _veltrin_add_gtest(${name})
endfunction()
