# lexiflip-host: the host session alone on a QCoreApplication, for dedicated
# hosting and for black-box tests.
add_library(lexiflip_quit_on_signals STATIC
  ${CMAKE_CURRENT_LIST_DIR}/quit_on_signals.cpp
  ${CMAKE_CURRENT_LIST_DIR}/quit_on_signals.h)
target_include_directories(lexiflip_quit_on_signals PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(lexiflip_quit_on_signals PUBLIC Qt6::Core)

add_executable(lexiflip-host ${CMAKE_CURRENT_LIST_DIR}/host_main.cpp)
target_link_libraries(lexiflip-host PRIVATE lexiflip_net lexiflip_quit_on_signals lexiflip_version Qt6::Core)
