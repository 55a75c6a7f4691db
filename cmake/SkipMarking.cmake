# GoogleTest ends a program whose cases were skipped (GTEST_SKIP) with exit
# code 0, which ctest would count as passed. Every test of the tree is
# therefore told that GoogleTest's skip line means "skipped": ctest then lists
# it as not run, and `make test` (tools/run-tests.sh) judges each skip's reason.
#
# set_tests_properties in a CMake file reaches only its own folder's tests,
# while ctest's reaches every test defined so far. So the names are collected
# here and a script that marks them all is handed to ctest through a folder
# added last (cmake/skip-marks), whose test file ctest reads after all others.
function(collect_tests dir out)
  get_property(tests DIRECTORY ${dir} PROPERTY TESTS)
  get_property(subdirs DIRECTORY ${dir} PROPERTY SUBDIRECTORIES)
  foreach(sub ${subdirs})
    collect_tests(${sub} more)
    list(APPEND tests ${more})
  endforeach()
  set(${out} ${tests} PARENT_SCOPE)
endfunction()

function(mark_gtest_skips)
  collect_tests(${CMAKE_SOURCE_DIR} tests)
  set(names "")
  foreach(test ${tests})
    string(APPEND names " [==[${test}]==]")
  endforeach()
  set(script ${CMAKE_BINARY_DIR}/gtest_skips.cmake)
  file(WRITE ${script} "")
  if(names)
    file(WRITE ${script}
         "set_tests_properties(${names}\n  PROPERTIES SKIP_REGULAR_EXPRESSION [==[\\[  SKIPPED \\] ]==])\n")
  endif()
  add_subdirectory(${CMAKE_SOURCE_DIR}/cmake/skip-marks ${CMAKE_BINARY_DIR}/skip-marks)
  set_property(DIRECTORY ${CMAKE_SOURCE_DIR}/cmake/skip-marks APPEND PROPERTY TEST_INCLUDE_FILES ${script})
endfunction()
