# The small windows: the phrase editor Tphrases, the watcher list Tspylist, the
# help window Thelp, the about window Tabout and the lobby download window
# Tdownload with its HTTP download.
set(LEXIFLIP_WEB_LINK "" CACHE STRING
    "The maker's web link, opened by the about window and the main window's logo (empty: the installed README)")
set(web_link "${LEXIFLIP_WEB_LINK}")
# A build folder configured before the link followed the prefix holds the old
# fixed default; it follows the prefix too.
if(web_link STREQUAL "" OR web_link STREQUAL "file:///usr/share/doc/lexiflip/README.md")
  set(web_link "file://${CMAKE_INSTALL_PREFIX}/${LEXIFLIP_INSTALL_DOCDIR}/README.md")
endif()

add_library(lexiflip_small_windows STATIC
  ${CMAKE_CURRENT_LIST_DIR}/small_window.cpp
  ${CMAKE_CURRENT_LIST_DIR}/small_window.h
  ${CMAKE_CURRENT_LIST_DIR}/tphrases.cpp
  ${CMAKE_CURRENT_LIST_DIR}/tphrases.h
  ${CMAKE_CURRENT_LIST_DIR}/tspylist.cpp
  ${CMAKE_CURRENT_LIST_DIR}/tspylist.h
  ${CMAKE_CURRENT_LIST_DIR}/thelp.cpp
  ${CMAKE_CURRENT_LIST_DIR}/thelp.h
  ${CMAKE_CURRENT_LIST_DIR}/help_pages.cpp
  ${CMAKE_CURRENT_LIST_DIR}/tabout.cpp
  ${CMAKE_CURRENT_LIST_DIR}/tabout.h
  ${CMAKE_CURRENT_LIST_DIR}/tdownload.cpp
  ${CMAKE_CURRENT_LIST_DIR}/tdownload.h)
target_include_directories(lexiflip_small_windows PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(lexiflip_small_windows
  PUBLIC lexiflip_client_media lexiflip_wire Qt6::Widgets Qt6::Network
  PRIVATE lexiflip_core lexiflip_client_platform)
target_compile_definitions(lexiflip_small_windows PRIVATE "LEXIFLIP_WEB_LINK=\"${web_link}\"")

# The word lists' licence, shown in full on the help window's licence page.
qt_add_resources(lexiflip_small_windows lexiflip_licences
  PREFIX /lexiflip/licences
  BASE ${PROJECT_SOURCE_DIR}/assets/dictionary
  FILES ${PROJECT_SOURCE_DIR}/assets/dictionary/LICENSE)
