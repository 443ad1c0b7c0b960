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

# lexiflip-driven: the same program with the test driver on standard input
# (app/test_driver.h), for the end-to-end tests only, and the README's picture
# (--screenshot FILE). Never installed.
if(LEXIFLIP_TESTS)
  add_executable(lexiflip-driven
    ${CMAKE_CURRENT_LIST_DIR}/main.cpp
    ${CMAKE_CURRENT_LIST_DIR}/screenshot.cpp
    ${CMAKE_CURRENT_LIST_DIR}/screenshot.h
    ${CMAKE_CURRENT_LIST_DIR}/test_driver.cpp
    ${CMAKE_CURRENT_LIST_DIR}/test_driver.h)
  target_include_directories(lexiflip-driven PRIVATE ${PROJECT_SOURCE_DIR})
  target_compile_definitions(lexiflip-driven PRIVATE LEXIFLIP_TEST_DRIVER)
  target_link_libraries(lexiflip-driven PRIVATE lexiflip_app lexiflip_version)
endif()
