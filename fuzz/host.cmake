# The plain host session fed by connections as ids.
lexiflip_add_fuzzer(fuzz_host LABEL host SOURCES ${CMAKE_CURRENT_LIST_DIR}/fuzz_host.cpp
  LIBS lexiflip_host lexiflip_test_support)
# The host's state file under arbitrary bytes, and the game it holds resumed.
lexiflip_add_fuzzer(fuzz_state LABEL host SOURCES ${CMAKE_CURRENT_LIST_DIR}/fuzz_state.cpp
  LIBS lexiflip_host lexiflip_test_support SMOKE_RUNS 5000)
