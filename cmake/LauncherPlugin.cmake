# The game plug-in control (tools/plugin, target plumegame) and its engine
# module (tools/engine, target plume3d) are built side by side into
# LAUNCHER_PLUGIN_DIR, as they sit in a game folder. The launcher carries the
# control as resource ZIPRES 132, byte for byte:
#   launcher_embed_plugin(<target>)   adds ZIPRES 132 to a Windows executable

set(LAUNCHER_PLUGIN_DIR ${CMAKE_BINARY_DIR}/plugin)
set(LAUNCHER_PLUGIN_CONTROL ${LAUNCHER_PLUGIN_DIR}/plumegame.ocx)
set(LAUNCHER_PLUGIN_ENGINE ${LAUNCHER_PLUGIN_DIR}/plume3d.lod)

if(WIN32)
  set(LAUNCHER_PLUGIN_RC ${CMAKE_BINARY_DIR}/plugin-resource/plugin_control.rc)
  file(CONFIGURE OUTPUT ${LAUNCHER_PLUGIN_RC} CONTENT
       "// Generated: the game plug-in control as resource ZIPRES 132.\n132 ZIPRES \"${LAUNCHER_PLUGIN_CONTROL}\"\n")
endif()

function(launcher_embed_plugin target)
  if(WIN32)
    target_sources(${target} PRIVATE ${LAUNCHER_PLUGIN_RC})
    # As with the skin: windres does not report what the script pulls in.
    set_source_files_properties(${LAUNCHER_PLUGIN_RC} TARGET_DIRECTORY ${target}
                                PROPERTIES OBJECT_DEPENDS ${LAUNCHER_PLUGIN_CONTROL})
    add_dependencies(${target} plumegame)
  endif()
endfunction()
