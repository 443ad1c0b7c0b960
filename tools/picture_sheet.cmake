# lexiflip-picture-sheet: every painted picture on one PNG, and a mock-up of
# the game area, at a chosen device pixel ratio, for looking at the artwork.
add_executable(lexiflip-picture-sheet ${CMAKE_CURRENT_LIST_DIR}/picture_sheet_main.cpp)
target_link_libraries(lexiflip-picture-sheet PRIVATE lexiflip_client_media)
