# The game window: start-up, idle CPU, memory, board painting and the click
# to echo time of a solo game, each beside a baseline measured in the same run.
add_executable(client_bench ${CMAKE_CURRENT_LIST_DIR}/client_bench.cpp)
target_include_directories(client_bench PRIVATE ${PROJECT_SOURCE_DIR}/tests)
target_link_libraries(client_bench PRIVATE lexiflip_client lexiflip_windows lexiflip_host Qt6::Widgets Qt6::Test)
