# lexiflip-sim: whole computer-only games in virtual time.
add_executable(lexiflip-sim ${CMAKE_CURRENT_LIST_DIR}/sim_main.cpp)
target_link_libraries(lexiflip-sim PRIVATE lexiflip_engine lexiflip_assets)
