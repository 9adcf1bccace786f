# The Debian package (tools/package.sh): cpack -G DEB over what `cmake --install` puts in place,
# under /usr, with the documents Debian asks every package for.
set(ORVANE_PACKAGE_DOCS ${CMAKE_INSTALL_DATADIR}/doc/orvane)
configure_file(${CMAKE_SOURCE_DIR}/data/package/changelog.in ${CMAKE_BINARY_DIR}/package/changelog @ONLY)
# Debian keeps changelogs compressed, and byte for byte the same from one build to the next.
execute_process(COMMAND gzip -9nc ${CMAKE_BINARY_DIR}/package/changelog
                OUTPUT_FILE ${CMAKE_BINARY_DIR}/package/changelog.gz RESULT_VARIABLE gzipped)
if(NOT gzipped EQUAL 0)
  message(FATAL_ERROR "cannot compress the package's changelog")
endif()
install(FILES data/package/copyright ${CMAKE_BINARY_DIR}/package/changelog.gz DESTINATION ${ORVANE_PACKAGE_DOCS})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME orvane)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Orvane player developers")
# No mailbox takes the package's mail yet: the reserved .invalid domain says so honestly.
set(CPACK_PACKAGE_CONTACT "Orvane player developers <orvane@orvane.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "player for adventure games made with the Orvane kit")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Plays 640 x 480 adventure games of the early 2000s made with the Orvane kit on
today's desktops: sharp integer scaling, full screen, MIDI music through a
SoundFont, CD audio from ripped tracks or disc images, and clear messages.
It keeps each game's save slots and settings files byte for byte.

The package also holds the game-maker's tools and a small demo game.")
# Section games would want the programs in /usr/games, off root's PATH; the player and its
# tools are programs like any other.
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
# Shared libraries found by dpkg-shlibdeps, plus what is used at run time without linking.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-ipafont-gothic, fonts-ipafont-mincho")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fluid-soundfont-gm | timgm6mb-soundfont, xdg-desktop-portal | zenity")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "speech-dispatcher")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_STRIP_FILES ON)
set(CPACK_SOURCE_GENERATOR "")
include(CPack)
