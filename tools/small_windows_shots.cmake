# lexiflip-small-windows-shots: each small window (and the tally window) grabbed to a PNG at a chosen
# device pixel ratio, for looking at them without a display.
add_executable(lexiflip-small-windows-shots ${CMAKE_CURRENT_LIST_DIR}/small_windows_shots_main.cpp)
target_link_libraries(lexiflip-small-windows-shots PRIVATE lexiflip_small_windows lexiflip_windows lexiflip_replay_windows)
