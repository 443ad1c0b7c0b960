# lexiflip: the game. For now a terminal stand-in until the main window exists.
add_executable(lexiflip ${CMAKE_CURRENT_LIST_DIR}/main.cpp)
target_link_libraries(lexiflip PRIVATE lexiflip_engine lexiflip_assets lexiflip_version)
