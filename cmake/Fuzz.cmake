# Fuzz targets: one entry point, LLVMFuzzerTestOneInput, built two ways.
#
# add_fuzz_target(NAME name SOURCES src... [LIBS lib...])
# The seed corpus is tests/fuzz/corpus/<name>/.
#
# Fuzzing build (clang, -DFUZZING=ON; build/fuzz): a libFuzzer program, run by
# ctest as fuzz.<name> for FUZZ_SECONDS seconds over a scratch corpus in the
# build tree that starts from the seeds (new finds stay in the build tree).
# Host build: the same entry point linked with a replay driver, run by ctest as
# fuzz.<name>.replay over every seed, a quick regression check under the
# host's sanitizers.
set(FUZZ_SECONDS 20 CACHE STRING "Seconds each fuzz target runs in the test suite")
set(FUZZ_CORPUS_ROOT ${CMAKE_SOURCE_DIR}/tests/fuzz/corpus)

function(add_fuzz_target)
  if(WIN32)
    return()
  endif()
  cmake_parse_arguments(arg "" "NAME" "SOURCES;LIBS" ${ARGN})
  set(seeds ${FUZZ_CORPUS_ROOT}/${arg_NAME})
  if(NOT IS_DIRECTORY ${seeds})
    message(FATAL_ERROR "fuzz target ${arg_NAME}: no seed corpus at ${seeds}")
  endif()
  if(FUZZING)
    add_executable(${arg_NAME} ${arg_SOURCES})
    target_link_libraries(${arg_NAME} PRIVATE ${arg_LIBS})
    target_link_options(${arg_NAME} PRIVATE -fsanitize=fuzzer)
    target_compile_options(${arg_NAME} PRIVATE ${PROJECT_WARNINGS})
    add_test(NAME fuzz.${arg_NAME}
             COMMAND ${CMAKE_SOURCE_DIR}/tools/fuzz/run-fuzzer $<TARGET_FILE:${arg_NAME}>
                     ${FUZZ_SECONDS} ${seeds} ${CMAKE_BINARY_DIR}/fuzz-work/${arg_NAME})
    set_tests_properties(fuzz.${arg_NAME} PROPERTIES
      TIMEOUT 600 LABELS fuzz
      # libFuzzer prints this line only when it ran to its time limit.
      PASS_REGULAR_EXPRESSION "Done [0-9]+ runs in [0-9]+ second"
      FAIL_REGULAR_EXPRESSION "==[0-9]+==ERROR|deadly signal|Test unit written")
  else()
    add_executable(${arg_NAME}_replay ${arg_SOURCES} ${CMAKE_SOURCE_DIR}/tests/fuzz/FuzzReplay.cpp)
    target_link_libraries(${arg_NAME}_replay PRIVATE ${arg_LIBS})
    target_compile_options(${arg_NAME}_replay PRIVATE ${PROJECT_WARNINGS})
    add_test(NAME fuzz.${arg_NAME}.replay COMMAND ${arg_NAME}_replay ${seeds})
  endif()
endfunction()
