# lexiflip_add_fuzzer(<name> LABEL <layer> SOURCES <files...> LIBS <targets...> [SMOKE_RUNS <n>])
#
# With LEXIFLIP_FUZZ the target is a libFuzzer program (clang). Without it, the
# same LLVMFuzzerTestOneInput is linked with a small driver that feeds it a
# fixed number of seeded random and mutated inputs, and runs as a test of the
# given layer: a short, bounded fuzz pass in every test run. The files in
# fuzz/corpus/<name>/, when there are any, seed both. SMOKE_RUNS (20000 unless
# given) keeps the pass of a costly target within seconds under the sanitizers.
function(lexiflip_add_fuzzer name)
  cmake_parse_arguments(F "" "LABEL;SMOKE_RUNS" "SOURCES;LIBS" ${ARGN})
  if(NOT F_SMOKE_RUNS)
    set(F_SMOKE_RUNS 20000)
  endif()
  if(LEXIFLIP_FUZZ)
    add_executable(${name} ${F_SOURCES})
    target_link_libraries(${name} PRIVATE ${F_LIBS})
    target_link_options(${name} PRIVATE -fsanitize=fuzzer)
  elseif(LEXIFLIP_TESTS)
    add_executable(${name}_smoke ${F_SOURCES} ${PROJECT_SOURCE_DIR}/fuzz/smoke_driver.cpp)
    target_link_libraries(${name}_smoke PRIVATE ${F_LIBS})
    set(corpus ${PROJECT_SOURCE_DIR}/fuzz/corpus/${name})
    if(IS_DIRECTORY ${corpus})
      add_test(NAME ${name}_smoke COMMAND ${name}_smoke ${F_SMOKE_RUNS} ${corpus})
    else()
      add_test(NAME ${name}_smoke COMMAND ${name}_smoke ${F_SMOKE_RUNS})
    endif()
    set_tests_properties(${name}_smoke PROPERTIES LABELS ${F_LABEL} TIMEOUT 300)
  endif()
endfunction()
