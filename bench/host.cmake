# The host session under nine clients: flip round trip beside a loopback echo
# and with a state file beside without,
# burst drain and idle CPU.
add_executable(host_bench ${CMAKE_CURRENT_LIST_DIR}/host_bench.cpp)
target_include_directories(host_bench PRIVATE ${PROJECT_SOURCE_DIR}/tests)
target_link_libraries(host_bench PRIVATE lexiflip_host lexiflip_fileio Qt6::Core Qt6::Network benchmark::benchmark)
