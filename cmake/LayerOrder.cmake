# The order of the game layers, top to bottom: app -> choice -> graphics, sound -> logic ->
# script -> persist -> platform. Each list names the layers a layer uses directly; it may use
# everything below those too. The build (cmake/Layers.cmake) and the include check
# (cmake/CheckPlatformIncludes.cmake) both read it, so the order is written down once.
set(ORVANE_LAYERS platform persist script logic sound graphics choice app)
set(ORVANE_LAYER_USES_platform "")
set(ORVANE_LAYER_USES_persist platform)
set(ORVANE_LAYER_USES_script persist)
set(ORVANE_LAYER_USES_logic script)
set(ORVANE_LAYER_USES_sound logic)
set(ORVANE_LAYER_USES_graphics logic)
set(ORVANE_LAYER_USES_choice graphics sound)
set(ORVANE_LAYER_USES_app choice)

# Sets `out` to the layer itself and every layer below it.
function(orvane_layers_visible_from layer out)
  set(visible ${layer})
  foreach(used ${ORVANE_LAYER_USES_${layer}})
    orvane_layers_visible_from(${used} below)
    list(APPEND visible ${below})
  endforeach()
  list(REMOVE_DUPLICATES visible)
  set(${out} ${visible} PARENT_SCOPE)
endfunction()
