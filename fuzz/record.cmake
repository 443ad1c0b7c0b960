# The game record's reader under arbitrary text.
lexiflip_add_fuzzer(fuzz_record LABEL client SOURCES ${CMAKE_CURRENT_LIST_DIR}/fuzz_record.cpp LIBS lexiflip_record)
