# Local network discovery's datagrams, as any machine on the network may send them, to a host
# and to a search.
lexiflip_add_fuzzer(fuzz_discovery LABEL net SOURCES ${CMAKE_CURRENT_LIST_DIR}/fuzz_discovery.cpp
  LIBS lexiflip_discovery)
