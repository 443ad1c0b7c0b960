# The application shell around the main window: the settings file and where it
# lives, the main window's placement, the single-instance guard, the lobby
# link and the command line.
add_subdirectory(${CMAKE_CURRENT_LIST_DIR}/settings)
add_library(lexiflip_client_shell STATIC
  ${CMAKE_CURRENT_LIST_DIR}/command_line.cpp
  ${CMAKE_CURRENT_LIST_DIR}/command_line.h
  ${CMAKE_CURRENT_LIST_DIR}/lobby_link.cpp
  ${CMAKE_CURRENT_LIST_DIR}/lobby_link.h
  ${CMAKE_CURRENT_LIST_DIR}/single_instance.cpp
  ${CMAKE_CURRENT_LIST_DIR}/settings_location.cpp
  ${CMAKE_CURRENT_LIST_DIR}/settings_location.h
  ${CMAKE_CURRENT_LIST_DIR}/single_instance.h
  ${CMAKE_CURRENT_LIST_DIR}/window_placement.cpp
  ${CMAKE_CURRENT_LIST_DIR}/window_placement.h)
target_include_directories(lexiflip_client_shell PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(lexiflip_client_shell
  PUBLIC lexiflip_settings lexiflip_client_platform Qt6::Network Qt6::Widgets
  PRIVATE lexiflip_version lexiflip_fileio)
