lexiflip_add_fuzzer(fuzz_client LABEL client SOURCES ${CMAKE_CURRENT_LIST_DIR}/fuzz_client.cpp LIBS lexiflip_client_game)
