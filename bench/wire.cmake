# Receive path: accumulator plus dispatcher, beside a memchr split baseline.
add_executable(wire_bench ${CMAKE_CURRENT_LIST_DIR}/wire_bench.cpp)
target_link_libraries(wire_bench PRIVATE lexiflip_wire benchmark::benchmark)
