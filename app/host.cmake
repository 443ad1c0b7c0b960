# lexiflip-host: the host session alone on a QCoreApplication, for dedicated
# hosting and for black-box tests.
add_executable(lexiflip-host ${CMAKE_CURRENT_LIST_DIR}/host_main.cpp)
target_link_libraries(lexiflip-host PRIVATE lexiflip_net lexiflip_client_platform lexiflip_version Qt6::Core)
