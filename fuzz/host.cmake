# The plain host session fed by connections as ids, and the dictionary's
# answers against a model of its keys.
lexiflip_add_fuzzer(fuzz_host LABEL host SOURCES ${CMAKE_CURRENT_LIST_DIR}/fuzz_host.cpp
  LIBS lexiflip_host lexiflip_test_support)
lexiflip_add_fuzzer(fuzz_dictn LABEL engine SOURCES ${CMAKE_CURRENT_LIST_DIR}/fuzz_dictn.cpp
  LIBS lexiflip_engine lexiflip_assets)
# The host's state file under arbitrary bytes, and the game it holds resumed.
lexiflip_add_fuzzer(fuzz_state LABEL host SOURCES ${CMAKE_CURRENT_LIST_DIR}/fuzz_state.cpp
  LIBS lexiflip_host lexiflip_test_support SMOKE_RUNS 5000)
