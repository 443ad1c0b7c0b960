# Installing like a Linux desktop program, and the Debian package.
#
#   cmake --install build --prefix /usr [--component ...]   (or DESTDIR=... )
#   cd build && cpack -G DEB
#
# Included after app/, whose two programs it installs with the desktop entry,
# the icons, the AppStream metadata and the manual pages.
include(GNUInstallDirs)

install(TARGETS lexiflip lexiflip-host RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

set(packaging_dir ${PROJECT_SOURCE_DIR}/packaging/linux)

install(FILES ${packaging_dir}/${LEXIFLIP_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${packaging_dir}/${LEXIFLIP_APP_ID}.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES ${packaging_dir}/${LEXIFLIP_APP_ID}.png
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/256x256/apps)
install(FILES ${packaging_dir}/${LEXIFLIP_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

# Manual pages, compressed as Debian wants them (-n: no time stamp, so the
# package builds the same twice).
find_program(GZIP_PROGRAM gzip REQUIRED)
set(man_pages)
foreach(page lexiflip.6 lexiflip-host.6)
  set(compressed ${PROJECT_BINARY_DIR}/man/${page}.gz)
  add_custom_command(OUTPUT ${compressed}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/man
    COMMAND ${GZIP_PROGRAM} -9nc ${packaging_dir}/${page} > ${compressed}
    DEPENDS ${packaging_dir}/${page}
    VERBATIM)
  list(APPEND man_pages ${compressed})
endforeach()
add_custom_target(lexiflip_man_pages ALL DEPENDS ${man_pages})
install(FILES ${man_pages} DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)

# The Debian package. dpkg-shlibdeps finds the Qt libraries the programs link;
# the platform plugins (xcb, wayland) are no library dependency and are named.
set(CPACK_PACKAGE_NAME lexiflip)
set(CPACK_PACKAGE_VENDOR "Lexiflip developers")
set(CPACK_PACKAGE_CONTACT "Lexiflip developers <lexiflip@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "turn-based word game of flipped tiles")
set(CPACK_PACKAGE_DESCRIPTION
    "Lexiflip is a word game for one to six players. Each turn a player flips five\n"
    "of the 80 face-down board tiles and builds a word from the face-up board\n"
    "tiles and the seven letters on the bar. Play alone against the computer\n"
    "player or over the network, with chat, phrases and chatter sounds.\n"
    "lexiflip-host hosts a game without a window.")
string(JOIN "" CPACK_PACKAGE_DESCRIPTION ${CPACK_PACKAGE_DESCRIPTION})
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-dejavu-core")
set(CPACK_GENERATOR DEB)
include(CPack)
