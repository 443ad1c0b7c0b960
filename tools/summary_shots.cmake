# lexiflip-summary-shots: the game summary window of a made-up game grabbed to
# PNGs at a chosen device pixel ratio and zoom, for looking at it without a display.
add_executable(lexiflip-summary-shots ${CMAKE_CURRENT_LIST_DIR}/summary_shots_main.cpp)
target_link_libraries(lexiflip-summary-shots PRIVATE lexiflip_summary_window)
