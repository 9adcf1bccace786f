# The browser build: the same layers compiled with emscripten, linked against the libraries
# tools/web-libs.sh builds from Debian's source packages (ORVANE_WEB_PREFIX). Each library gets
# the target name the desktop build's find_package and pkg_check_modules give it, so the layer
# definitions stay one and the same; what the browser cannot have is an empty target, and the
# platform files that need it are swapped for the browser's own below.
if(NOT ORVANE_WEB_PREFIX)
  message(FATAL_ERROR "ORVANE_WEB_PREFIX must name the web libraries' folder (tools/web-libs.sh build prints it)")
endif()

function(orvane_web_library target library)
  add_library(${target} STATIC IMPORTED)
  set_target_properties(${target} PROPERTIES IMPORTED_LOCATION ${ORVANE_WEB_PREFIX}/lib/${library}
    INTERFACE_INCLUDE_DIRECTORIES "${ARGN}")
endfunction()

set(web_include ${ORVANE_WEB_PREFIX}/include)
orvane_web_library(ZLIB::ZLIB libz.a ${web_include})
orvane_web_library(PNG::PNG libpng16.a ${web_include})
target_link_libraries(PNG::PNG INTERFACE ZLIB::ZLIB)
orvane_web_library(JPEG::JPEG libjpeg.a ${web_include})
orvane_web_library(web_freetype libfreetype.a ${web_include}/freetype2)
target_link_libraries(web_freetype INTERFACE ZLIB::ZLIB)
orvane_web_library(web_sdl2 libSDL2.a ${web_include}/SDL2)
add_library(PkgConfig::FREETYPE INTERFACE IMPORTED)
target_link_libraries(PkgConfig::FREETYPE INTERFACE web_freetype)
add_library(PkgConfig::SDL2 INTERFACE IMPORTED)
target_link_libraries(PkgConfig::SDL2 INTERFACE web_sdl2)

# Header-only libraries come from the machine's own packages. Their folders are reached through
# links of their own, never by adding /usr/include, whose C library headers are not the browser's.
set(web_headers ${CMAKE_BINARY_DIR}/web-headers)
file(MAKE_DIRECTORY ${web_headers})
foreach(header_dir nlohmann toml++)
  if(NOT EXISTS ${web_headers}/${header_dir})
    file(CREATE_LINK /usr/include/${header_dir} ${web_headers}/${header_dir} SYMBOLIC)
  endif()
endforeach()
add_library(nlohmann_json::nlohmann_json INTERFACE IMPORTED)
set_target_properties(nlohmann_json::nlohmann_json PROPERTIES INTERFACE_INCLUDE_DIRECTORIES ${web_headers})
add_library(PkgConfig::TOMLPP INTERFACE IMPORTED)
set_target_properties(PkgConfig::TOMLPP PROPERTIES INTERFACE_INCLUDE_DIRECTORIES ${web_headers})

# No threads, no cue sheet reader, no WebSocket server for reading tools, and none of the desktop's sound and speech services.
foreach(absent PkgConfig::LIBCUE PkgConfig::LWS PkgConfig::FLUIDSYNTH PkgConfig::ALSA PkgConfig::GLIB PkgConfig::SPEECHD
        Threads::Threads)
  add_library(${absent} INTERFACE IMPORTED)
endforeach()

# Platform files with a browser counterpart in src/platform/web.
set(ORVANE_PLATFORM_EXCLUDE "/src/platform/text/font_lookup_fontconfig\\.cpp$" "/src/platform/audio/cue_sheet\\.cpp$"
  "/src/platform/posix/desktop_opener\\.cpp$" "/src/platform/net/text_socket\\.cpp$"
  "/src/platform/sjis_iconv\\.cpp$")
# Of the desktop backend, the window, its clock and its loop serve the browser as they are;
# sound, speech and the desktop's folder chooser portal are the page's or absent.
set(ORVANE_SDL_EXCLUDE
  "/(alsa_midi_output|dispatcher_speech|fluidsynth_output|library_logs|portal_folder_chooser|raw_audio_stream|sdl_audio|sdl_audio_synth)\\.cpp$")
set(ORVANE_RUN_SOURCES src/app/web_run.cpp)

# The settings file's TOML reader reports a broken file by throwing. Catching costs every call
# a trip through JavaScript and keeps Asyncify from pausing below it, so only the file that
# catches is built for it; the game code below the waits is not.
set_source_files_properties(${CMAKE_SOURCE_DIR}/src/app/player_settings.cpp PROPERTIES COMPILE_OPTIONS -fexceptions)

# Called once the player's target exists: how the browser runs it, and the page beside it.
function(orvane_web_player target)
  # Asyncify lets the game's blocking waits (typing, transitions, pauses) hand the tab back to
  # the browser while they wait, with the game code unchanged.
  target_link_options(${target} PRIVATE
    -msimd128 -sASYNCIFY=1 -sASYNCIFY_STACK_SIZE=1048576 -sDISABLE_EXCEPTION_CATCHING=0 -sALLOW_MEMORY_GROWTH=1 -sINITIAL_MEMORY=64MB
    -sEXIT_RUNTIME=0 -sINVOKE_RUN=0 -sMODULARIZE=1 -sEXPORT_NAME=createOrvane -sENVIRONMENT=web
    -sFORCE_FILESYSTEM=1 -lidbfs.js "-sASYNCIFY_IMPORTS=['orvane_web_settle_saves','orvane_web_ask_text','orvane_web_ask_yes_no']"
    "-sEXPORTED_RUNTIME_METHODS=['FS','IDBFS','ENV','callMain']"
    "SHELL:--js-library ${CMAKE_SOURCE_DIR}/src/platform/web/orvane_web.js"
    "SHELL:--js-library ${CMAKE_SOURCE_DIR}/src/platform/web/page_controls.js")
  set_target_properties(${target} PROPERTIES SUFFIX ".js"
    LINK_DEPENDS "${CMAKE_SOURCE_DIR}/src/platform/web/orvane_web.js;${CMAKE_SOURCE_DIR}/src/platform/web/page_controls.js")
  # The page, its script and the substitute fonts, beside the player.
  file(GLOB page_files CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/web/page/*)
  add_custom_target(web_page ALL
    COMMAND ${CMAKE_COMMAND} -E copy_if_different ${page_files} ${CMAKE_BINARY_DIR}
    DEPENDS ${page_files})
endfunction()
