# Windows tests run through Wine: the x86_64 build registers `tools/wine/winetest`
# as the cross-compiling emulator, so `add_test(COMMAND <windows target>)` runs
# the program in a fresh, isolated Wine prefix.
#
# add_wine_test(NAME name COMMAND target [args...]
#               [WINVER win95|win98|nt40|win2k|winxp|vista|win7|win10]
#               [PORTS "COM3=profile ..."] [LANG locale] [TIMEOUT seconds]
#               [DRIVES "D=96k R=64k,ro"] [CASES Suite.Case ...])
# With CASES, every GoogleTest case becomes a test of its own, "name.Case",
# with its own prefix and simulators, so that cases cannot disturb each other
# (a modem simulator keeps answering after a case has ended).
set(WINE_ROOT ${CMAKE_BINARY_DIR}/wine)

if(WINE_CAN_RUN AND NOT TEST wine.prefix)
  add_test(NAME wine.prefix
           COMMAND ${CMAKE_SOURCE_DIR}/tools/wine/winetest template --root ${WINE_ROOT})
  set_tests_properties(wine.prefix PROPERTIES FIXTURES_SETUP wine_prefix TIMEOUT 300)
  # After all Windows tests: no run folder, wineserver or simulator is left.
  add_test(NAME wine.leftovers
           COMMAND ${CMAKE_SOURCE_DIR}/tools/wine/check-leftovers ${WINE_ROOT})
  set_tests_properties(wine.leftovers PROPERTIES FIXTURES_CLEANUP wine_prefix)
endif()

function(add_wine_test)
  if(NOT WINE_CAN_RUN)
    return()
  endif()
  cmake_parse_arguments(arg "" "NAME;WINVER;LANG;TIMEOUT;PORTS;DRIVES" "COMMAND;CASES" ${ARGN})
  if(arg_CASES)
    set(names "")
    foreach(case ${arg_CASES})
      string(REGEX REPLACE "^.*\\." "" short ${case})
      add_test(NAME ${arg_NAME}.${short} COMMAND ${arg_COMMAND} --gtest_filter=${case})
      list(APPEND names ${arg_NAME}.${short})
    endforeach()
  else()
    add_test(NAME ${arg_NAME} COMMAND ${arg_COMMAND})
    set(names ${arg_NAME})
  endif()
  set(env "")
  if(arg_WINVER)
    list(APPEND env "WINETEST_WINVER=${arg_WINVER}")
  endif()
  if(arg_LANG)
    list(APPEND env "WINETEST_LANG=${arg_LANG}")
  endif()
  if(arg_PORTS)
    list(APPEND env "WINETEST_PORTS=${arg_PORTS}")
  endif()
  if(arg_DRIVES)
    list(APPEND env "WINETEST_DRIVES=${arg_DRIVES}")
  endif()
  if(NOT arg_TIMEOUT)
    set(arg_TIMEOUT 120)
  endif()
  list(APPEND env "WINETEST_TIMEOUT=${arg_TIMEOUT}")
  math(EXPR ctest_timeout "${arg_TIMEOUT} + 60")
  set_tests_properties(${names} PROPERTIES
    ENVIRONMENT "${env}"
    FIXTURES_REQUIRED wine_prefix
    # A --gtest_filter that matches nothing must not pass as a success.
    FAIL_REGULAR_EXPRESSION "Running 0 tests from"
    TIMEOUT ${ctest_timeout})
endfunction()
