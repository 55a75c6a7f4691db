# Windows tests run through Wine: the x86_64 build registers `tools/wine/winetest`
# as the cross-compiling emulator, so `add_test(COMMAND <windows target>)` runs
# the program in a fresh, isolated Wine prefix.
#
# add_wine_test(NAME name COMMAND target [args...]
#               [WINVER win98|win2k|winxp|win7|win10]
#               [PORTS "COM3=profile ..."] [LANG locale] [TIMEOUT seconds])
set(WINE_ROOT ${CMAKE_BINARY_DIR}/wine)

if(WINE_CAN_RUN AND NOT TEST wine.prefix)
  add_test(NAME wine.prefix
           COMMAND ${CMAKE_SOURCE_DIR}/tools/wine/winetest template --root ${WINE_ROOT})
  set_tests_properties(wine.prefix PROPERTIES FIXTURES_SETUP wine_prefix TIMEOUT 300)
endif()

function(add_wine_test)
  if(NOT WINE_CAN_RUN)
    return()
  endif()
  cmake_parse_arguments(arg "" "NAME;WINVER;LANG;TIMEOUT;PORTS" "COMMAND" ${ARGN})
  add_test(NAME ${arg_NAME} COMMAND ${arg_COMMAND})
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
  if(NOT arg_TIMEOUT)
    set(arg_TIMEOUT 120)
  endif()
  list(APPEND env "WINETEST_TIMEOUT=${arg_TIMEOUT}")
  math(EXPR ctest_timeout "${arg_TIMEOUT} + 60")
  set_tests_properties(${arg_NAME} PROPERTIES
    ENVIRONMENT "${env}"
    FIXTURES_REQUIRED wine_prefix
    TIMEOUT ${ctest_timeout})
endfunction()
