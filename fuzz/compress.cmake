# The tally container decoder (and the codecs' round trip) under arbitrary bytes.
lexiflip_add_fuzzer(fuzz_decompress LABEL compress
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/fuzz_decompress.cpp
  LIBS lexiflip_compress)
