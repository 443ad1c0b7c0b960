lexiflip_add_fuzzer(fuzz_wire LABEL wire SOURCES ${CMAKE_CURRENT_LIST_DIR}/fuzz_wire.cpp LIBS lexiflip_wire)
