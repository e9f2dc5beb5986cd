# The skin package: every layout and image of skin/ zipped at build time,
# members at the archive root, and embedded as resource ZIPRES 129.
#
#   LAUNCHER_SKIN_DIR       the source folder
#   LAUNCHER_SKIN_PACKAGE   the zip in the build folder (target skin_package)
#   launcher_embed_skin(<target>)   adds ZIPRES 129 to a Windows executable

set(LAUNCHER_SKIN_DIR ${CMAKE_SOURCE_DIR}/skin)
# Debian's interpreter: the art generator uses Debian's python3-pil and
# python3-numpy, which another python3 on PATH may lack.
set(LAUNCHER_SKIN_PYTHON /usr/bin/python3 CACHE FILEPATH "Python with PIL and numpy for tools/skinart")
set(LAUNCHER_SKIN_PACKAGE ${CMAKE_BINARY_DIR}/skin/skin.zip)

# A new or removed file re-runs the configure step, so the member list never
# goes stale; only layouts and images belong in the package.
file(GLOB LAUNCHER_SKIN_FILES CONFIGURE_DEPENDS
     RELATIVE ${LAUNCHER_SKIN_DIR} ${LAUNCHER_SKIN_DIR}/*.png ${LAUNCHER_SKIN_DIR}/*.xml)
list(SORT LAUNCHER_SKIN_FILES)
set(_skin_deps ${LAUNCHER_SKIN_FILES})
list(TRANSFORM _skin_deps PREPEND ${LAUNCHER_SKIN_DIR}/)

# The zip is rebuilt from scratch (tar would otherwise append) with a fixed
# time stamp, so the same files give the same package bytes.
add_custom_command(
  OUTPUT ${LAUNCHER_SKIN_PACKAGE}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/skin
  COMMAND ${CMAKE_COMMAND} -E rm -f ${LAUNCHER_SKIN_PACKAGE}
  COMMAND ${CMAKE_COMMAND} -E tar cf ${LAUNCHER_SKIN_PACKAGE} --format=zip
          "--mtime=2020-01-01 00:00:00 UTC" -- ${LAUNCHER_SKIN_FILES}
  WORKING_DIRECTORY ${LAUNCHER_SKIN_DIR}
  DEPENDS ${_skin_deps}
  COMMENT "Packing the skin (${CMAKE_BINARY_DIR}/skin/skin.zip)"
  VERBATIM)
add_custom_target(skin_package ALL DEPENDS ${LAUNCHER_SKIN_PACKAGE})

if(WIN32)
  set(LAUNCHER_SKIN_RC ${CMAKE_BINARY_DIR}/skin/skin_package.rc)
  file(CONFIGURE OUTPUT ${LAUNCHER_SKIN_RC} CONTENT
       "// Generated: the skin package as resource ZIPRES 129.\n129 ZIPRES \"${LAUNCHER_SKIN_PACKAGE}\"\n")
endif()

function(launcher_embed_skin target)
  if(WIN32)
    target_sources(${target} PRIVATE ${LAUNCHER_SKIN_RC})
    # windres does not report the files that a resource script pulls in, so
    # the dependency on the zip is stated here: a changed image relinks.
    # Source properties belong to a directory: set them where the target is.
    set_source_files_properties(${LAUNCHER_SKIN_RC} TARGET_DIRECTORY ${target}
                                PROPERTIES OBJECT_DEPENDS ${LAUNCHER_SKIN_PACKAGE})
    add_dependencies(${target} skin_package)
  endif()
endfunction()
