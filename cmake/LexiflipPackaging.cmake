# Installing like a Debian game, and the Debian package.
#
#   cmake -S . -B build -DCMAKE_INSTALL_PREFIX=/usr   (the package's prefix)
#   cmake --install build [--strip]                   (or DESTDIR=... )
#   cd build && cpack -G DEB
#
# Included after app/, whose two programs it installs with the desktop entry,
# the icons, the AppStream metadata, the manual pages, the documentation and
# the hosts' systemd unit. Files that name an installed path are made from
# templates here, so that they follow CMAKE_INSTALL_PREFIX.
set(packaging_dir ${PROJECT_SOURCE_DIR}/packaging/linux)
set(LEXIFLIP_GAMES_FULL_DIR ${CMAKE_INSTALL_PREFIX}/${LEXIFLIP_INSTALL_GAMESDIR})
set(CPACK_PACKAGE_CONTACT "Lexiflip developers <lexiflip@example.org>")

install(TARGETS lexiflip lexiflip-host RUNTIME DESTINATION ${LEXIFLIP_INSTALL_GAMESDIR})
# A stripped install (cpack, --strip) drops the compiler's notes too, as
# Debian's own packages do.
install(CODE "
  if(CMAKE_INSTALL_DO_STRIP)
    foreach(program lexiflip lexiflip-host)
      execute_process(COMMAND \"${CMAKE_STRIP}\" --remove-section=.comment --remove-section=.note
        \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${LEXIFLIP_INSTALL_GAMESDIR}/\${program}\"
        COMMAND_ERROR_IS_FATAL ANY)
    endforeach()
  endif()")

configure_file(${packaging_dir}/${LEXIFLIP_APP_ID}.desktop.in
               ${PROJECT_BINARY_DIR}/packaging/${LEXIFLIP_APP_ID}.desktop @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/packaging/${LEXIFLIP_APP_ID}.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${packaging_dir}/${LEXIFLIP_APP_ID}.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES ${packaging_dir}/${LEXIFLIP_APP_ID}.png
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/256x256/apps)
install(FILES ${packaging_dir}/${LEXIFLIP_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

# The dedicated host as a template unit, its instance the port. Installed,
# never enabled: the package has no maintainer scripts.
configure_file(${packaging_dir}/lexiflip-host@.service.in
               ${PROJECT_BINARY_DIR}/packaging/lexiflip-host@.service @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/packaging/lexiflip-host@.service
        DESTINATION lib/systemd/system)

# The machine-readable copyright file: our licence, and the word lists' licence
# as it comes with them, indented as the format wants.
set(word_list_licence_file ${PROJECT_SOURCE_DIR}/assets/dictionary/LICENSE)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${word_list_licence_file})
file(READ ${word_list_licence_file} licence)
string(REGEX REPLACE "[ \t]+\n" "\n" licence "${licence}")
string(REGEX REPLACE "\n+$" "" licence "${licence}")
string(REPLACE "\n" "\n " licence " ${licence}")
# A blank line is written " ."; the loop, since each pass skips a neighbour.
while(licence MATCHES "\n \n")
  string(REPLACE "\n \n" "\n .\n" licence "${licence}")
endwhile()
set(LEXIFLIP_WORD_LIST_LICENCE "${licence}")
configure_file(${packaging_dir}/copyright.in ${PROJECT_BINARY_DIR}/packaging/copyright @ONLY)

# Manual pages and the changelog, compressed as Debian wants them (-n: no time
# stamp, so the package builds the same twice).
find_program(GZIP_PROGRAM gzip REQUIRED)
set(compressed_files)
foreach(source lexiflip.6 lexiflip-host.6 changelog)
  set(compressed ${PROJECT_BINARY_DIR}/packaging/${source}.gz)
  add_custom_command(OUTPUT ${compressed}
    COMMAND ${GZIP_PROGRAM} -9nc ${packaging_dir}/${source} > ${compressed}
    DEPENDS ${packaging_dir}/${source}
    VERBATIM)
  list(APPEND compressed_files ${compressed})
endforeach()
add_custom_target(lexiflip_packaging_files ALL DEPENDS ${compressed_files})
install(FILES ${PROJECT_BINARY_DIR}/packaging/lexiflip.6.gz ${PROJECT_BINARY_DIR}/packaging/lexiflip-host.6.gz
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
install(FILES ${PROJECT_BINARY_DIR}/packaging/copyright ${PROJECT_BINARY_DIR}/packaging/changelog.gz
              ${PROJECT_SOURCE_DIR}/README.md
        DESTINATION ${LEXIFLIP_INSTALL_DOCDIR})

# The Debian package, under the install prefix, so that the paths built into
# the programs and the files hold. dpkg-shlibdeps finds the Qt libraries the
# programs link; the platform plugins (xcb, wayland) are no library
# dependency and are named.
set(CPACK_PACKAGE_NAME lexiflip)
set(CPACK_PACKAGE_VENDOR "Lexiflip developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "turn-based word game of flipped tiles")
set(CPACK_PACKAGE_DESCRIPTION
    "Lexiflip is a word game for one to six players. Each turn a player flips five\n"
    "of the 80 face-down board tiles and builds a word from the face-up board\n"
    "tiles and the seven letters on the bar. Play alone against the computer\n"
    "player or over the network, with chat, phrases and chatter sounds.\n"
    "lexiflip-host hosts a game without a window.")
string(JOIN "" CPACK_PACKAGE_DESCRIPTION ${CPACK_PACKAGE_DESCRIPTION})
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
# qt6-wayland lets the window run natively on a Wayland desktop instead of
# through XWayland.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-dejavu-core, qt6-wayland")
set(CPACK_GENERATOR DEB)
include(CPack)
