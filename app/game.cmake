# The program's windows and host, created in their order and connected.
add_library(lexiflip_app STATIC
  ${CMAKE_CURRENT_LIST_DIR}/lexiflip_app.cpp
  ${CMAKE_CURRENT_LIST_DIR}/lexiflip_app.h)
target_include_directories(lexiflip_app PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(lexiflip_app PUBLIC lexiflip_windows lexiflip_client lexiflip_net)

# lexiflip: the game window, with the host in the same process when it hosts.
add_executable(lexiflip
  ${CMAKE_CURRENT_LIST_DIR}/main.cpp)
target_include_directories(lexiflip PRIVATE ${PROJECT_SOURCE_DIR})
target_link_libraries(lexiflip PRIVATE lexiflip_app lexiflip_version)
