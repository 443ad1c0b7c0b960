lexiflip_add_fuzzer(fuzz_engine LABEL engine SOURCES ${CMAKE_CURRENT_LIST_DIR}/fuzz_engine.cpp LIBS lexiflip_engine
  SMOKE_RUNS 5000)
