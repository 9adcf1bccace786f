# cmake --install: the player and its tools, the desktop's entry and icon, the manual page and
# the demo game. Programs are installed without their debugging symbols (the build folder keeps
# them). What was not built is skipped with a line saying so, so that installing after
# building only the player still installs the player and everything that needs no building.
include(GNUInstallDirs)
install(CODE "if(NOT DEFINED CMAKE_INSTALL_DO_STRIP)\n  set(CMAKE_INSTALL_DO_STRIP 1)\nendif()")
install(TARGETS orvane RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
foreach(tool ${ORVANE_TOOLS})
  install(CODE "if(NOT EXISTS \"$<TARGET_FILE:${tool}>\")
  message(STATUS \"Skipping ${tool}: not built (cmake --build <build folder> --target ${tool})\")
endif()")
  install(TARGETS ${tool} OPTIONAL RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endforeach()
install(FILES data/orvane.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES data/orvane.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
# Manual pages are kept compressed; made at install time, so the page is never older than its
# source and nothing needs building first.
install(CODE "set(manual \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_MANDIR}/man6\")
file(MAKE_DIRECTORY \"\${manual}\")
execute_process(COMMAND gzip -9nc \"${CMAKE_SOURCE_DIR}/data/orvane.6\" OUTPUT_FILE \"\${manual}/orvane.6.gz\"
                RESULT_VARIABLE gzipped)
if(NOT gzipped EQUAL 0)
  message(FATAL_ERROR \"cannot compress the manual page into \${manual}\")
endif()
message(STATUS \"Installing: \${manual}/orvane.6.gz\")")

# The demo game, to try the player with: orvane /usr/share/orvane/demo (or the prefix's).
set(ORVANE_DEMO_INSTALL_DIR ${CMAKE_INSTALL_DATADIR}/orvane/demo)
install(CODE "if(EXISTS \"${ORVANE_DEMO_DIR}/init.def\")
  file(INSTALL DESTINATION \"\${CMAKE_INSTALL_PREFIX}/${ORVANE_DEMO_INSTALL_DIR}\" TYPE DIRECTORY
       FILES \"${ORVANE_DEMO_DIR}/\" FILE_PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ
       DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
else()
  message(STATUS \"Skipping the demo game: not built (cmake --build <build folder> --target demo)\")
endif()")

# Everything the lines above install, for set-up scripts that build only what they need.
add_custom_target(installables DEPENDS orvane demo ${ORVANE_TOOLS})
