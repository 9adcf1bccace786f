# Installs the build into a scratch prefix and checks that every file lands where a desktop
# looks for it.
file(REMOVE_RECURSE ${PREFIX})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${PREFIX}
                RESULT_VARIABLE result OUTPUT_QUIET)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "cmake --install failed: ${result}")
endif()
foreach(file bin/orvane bin/orvpack bin/orvarc1 share/applications/orvane.desktop
             share/icons/hicolor/scalable/apps/orvane.svg share/man/man6/orvane.6.gz share/orvane/demo/init.def
             share/doc/orvane/copyright share/doc/orvane/changelog.gz)
  if(NOT EXISTS ${PREFIX}/${file})
    message(FATAL_ERROR "not installed: ${file}")
  endif()
endforeach()
# Installed programs carry no symbol tables: the build folder keeps the debugging copies.
foreach(program orvane orvpack orvarc1)
  execute_process(COMMAND readelf -S --wide ${PREFIX}/bin/${program} OUTPUT_VARIABLE sections RESULT_VARIABLE result)
  if(NOT result EQUAL 0 OR sections MATCHES "\\.symtab")
    message(FATAL_ERROR "bin/${program} is installed unstripped")
  endif()
endforeach()
file(STRINGS ${PREFIX}/share/applications/orvane.desktop exec REGEX "^Exec=")
if(NOT exec MATCHES "^Exec=orvane ")
  message(FATAL_ERROR "the desktop entry does not start the player: ${exec}")
endif()
execute_process(COMMAND ${PREFIX}/bin/orvane --version OUTPUT_VARIABLE version RESULT_VARIABLE result)
if(NOT result EQUAL 0 OR NOT version STREQUAL "orvane ${VERSION}\n")
  message(FATAL_ERROR "the installed player says ${version} (exit ${result})")
endif()
file(REMOVE_RECURSE ${PREFIX})
