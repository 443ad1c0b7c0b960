# The dictionary's answers against a model of its keys.
lexiflip_add_fuzzer(fuzz_dictn LABEL words SOURCES ${CMAKE_CURRENT_LIST_DIR}/fuzz_dictn.cpp
  LIBS lexiflip_words lexiflip_assets)
