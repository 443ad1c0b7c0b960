# The program's windows and host, created in their order and connected.
add_library(lexiflip_app STATIC
  ${CMAKE_CURRENT_LIST_DIR}/lexiflip_app.cpp
  ${CMAKE_CURRENT_LIST_DIR}/lexiflip_app.h
  ${CMAKE_CURRENT_LIST_DIR}/desktop_entry.cpp
  ${CMAKE_CURRENT_LIST_DIR}/desktop_entry.h)
target_include_directories(lexiflip_app PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(lexiflip_app PUBLIC lexiflip_windows lexiflip_client lexiflip_net)
target_compile_definitions(lexiflip_app PRIVATE "LEXIFLIP_APP_ID=\"${LEXIFLIP_APP_ID}\"")
# The window icon of a copy the icon theme does not know (one run from its
# build folder): the installed icon's picture, built in.
qt_add_resources(lexiflip_app lexiflip_app_icon
  PREFIX /lexiflip/icons
  BASE ${PROJECT_SOURCE_DIR}/packaging/linux
  FILES ${PROJECT_SOURCE_DIR}/packaging/linux/${LEXIFLIP_APP_ID}.png)

# lexiflip: the game window, with the host in the same process when it hosts.
add_executable(lexiflip
  ${CMAKE_CURRENT_LIST_DIR}/main.cpp)
target_include_directories(lexiflip PRIVATE ${PROJECT_SOURCE_DIR})
target_link_libraries(lexiflip PRIVATE lexiflip_app lexiflip_version)
