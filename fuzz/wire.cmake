lexiflip_add_fuzzer(fuzz_wire LABEL net SOURCES ${CMAKE_CURRENT_LIST_DIR}/fuzz_wire.cpp LIBS lexiflip_wire)
