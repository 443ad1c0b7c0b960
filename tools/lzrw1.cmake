# lexiflip-lzrw1: the compression component on the command line, for looking
# into tally files and for the component's tests. Plain C++, no Qt.
add_executable(lexiflip-lzrw1 ${CMAKE_CURRENT_LIST_DIR}/lzrw1_main.cpp)
target_link_libraries(lexiflip-lzrw1 PRIVATE lexiflip_compress)
set_target_properties(lexiflip-lzrw1 PROPERTIES AUTOMOC OFF)
