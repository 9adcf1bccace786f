# One library per game layer, built so that the layer order is a build failure, not a
# convention:
# - includes: a layer's sources see an include folder of their own that holds links to their
#   own folder and the folders of the layers below, nothing else, so `#include "app/..."` in
#   graphics/ finds no file;
# - calls: every layer's whole archive is linked into a small program with only the layers
#   below it, so a call that runs upward is an undefined reference.
include(${CMAKE_CURRENT_LIST_DIR}/LayerOrder.cmake)

option(ORVANE_LAYER_LINK_CHECK "Link each layer with only the layers below it" ON)
if(ORVANE_FUZZ OR EMSCRIPTEN)
  # libFuzzer's and the browser's links are slow and their own; the desktop build checks this.
  set(ORVANE_LAYER_LINK_CHECK OFF)
endif()

# The include folder of what `layer` may see: <build>/layer-includes/<layer>/<folder> -> src/<folder>.
function(orvane_layer_include_root layer out)
  set(root ${CMAKE_BINARY_DIR}/layer-includes/${layer})
  file(MAKE_DIRECTORY ${root})
  # A folder that left the layer order since the last configure must not stay visible.
  file(GLOB old_links LIST_DIRECTORIES true ${root}/*)
  foreach(link ${old_links})
    if(IS_SYMLINK ${link})
      file(REMOVE ${link})
    endif()
  endforeach()
  orvane_layers_visible_from(${layer} visible)
  foreach(folder ${visible})
    file(CREATE_LINK ${CMAKE_SOURCE_DIR}/src/${folder} ${root}/${folder} SYMBOLIC)
  endforeach()
  set(${out} ${root} PARENT_SCOPE)
endfunction()

# Lets `target` see what `layer` sees, and no more; the layers above add their own folders.
function(orvane_sees_as_layer target layer)
  orvane_layer_include_root(${layer} root)
  target_include_directories(${target} PUBLIC ${root})
endfunction()

# Links the whole of `target` (an archive) into a program with nothing but what it links
# itself: an undefined reference fails the build.
function(orvane_link_alone target check)
  add_executable(${check} ${CMAKE_SOURCE_DIR}/cmake/link_alone_main.cpp ${ARGN})
  target_link_libraries(${check} PRIVATE "$<LINK_LIBRARY:WHOLE_ARCHIVE,${target}>")
endfunction()

# orvane_layer(NAME LAYER layer [EXCLUDE regex...] [LINKS libraries...]): the library of
# src/<layer>, seeing and linking only the layers below it.
function(orvane_layer name)
  cmake_parse_arguments(LAYER "" "LAYER" "EXCLUDE;LINKS" ${ARGN})
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/src/${LAYER_LAYER}/*.cpp)
  foreach(pattern ${LAYER_EXCLUDE})
    list(FILTER sources EXCLUDE REGEX "${pattern}")
  endforeach()
  set(libraries "")
  foreach(used ${ORVANE_LAYER_USES_${LAYER_LAYER}})
    list(APPEND libraries orvane_${used})
  endforeach()
  add_library(${name} STATIC ${sources})
  target_compile_options(${name} PRIVATE ${ORVANE_WARNINGS})
  target_link_libraries(${name} PUBLIC ${libraries} ${LAYER_LINKS})
  orvane_sees_as_layer(${name} ${LAYER_LAYER})
  if(ORVANE_LAYER_LINK_CHECK)
    orvane_link_alone(${name} ${name}_links_alone)
  endif()
endfunction()
