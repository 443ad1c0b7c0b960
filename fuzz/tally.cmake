# The tally file's reader, writer and bookkeeping under arbitrary bytes.
lexiflip_add_fuzzer(fuzz_tally LABEL windows SOURCES ${CMAKE_CURRENT_LIST_DIR}/fuzz_tally.cpp LIBS lexiflip_tally)
