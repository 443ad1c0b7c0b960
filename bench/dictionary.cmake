# Word checks of TDictn on the shipped list, against a hash set of the same words.
add_executable(dictionary_bench ${CMAKE_CURRENT_SOURCE_DIR}/dictionary_bench.cpp)
target_link_libraries(dictionary_bench PRIVATE lexiflip_engine lexiflip_assets benchmark::benchmark)
