# The shared settings file under arbitrary bytes.
lexiflip_add_fuzzer(fuzz_ini LABEL client SOURCES ${CMAKE_CURRENT_LIST_DIR}/fuzz_ini.cpp LIBS lexiflip_settings)
