# Resources of the Windows skin tests, linked into win_tests: two small skin
# packages as ZIPRES 901 and 902, an empty ZIPRES 903 and a PNG resource 904.
# (129 is the launcher's own skin package.)
set(_skin_data ${CMAKE_CURRENT_SOURCE_DIR}/ui/data)
set(_skin_out ${CMAKE_CURRENT_BINARY_DIR}/skin_resources)
file(MAKE_DIRECTORY ${_skin_out})

foreach(_package package_a package_b)
  file(GLOB _members RELATIVE ${_skin_data}/${_package} CONFIGURE_DEPENDS ${_skin_data}/${_package}/*)
  list(TRANSFORM _members PREPEND ${_skin_data}/${_package}/ OUTPUT_VARIABLE _member_paths)
  add_custom_command(
    OUTPUT ${_skin_out}/${_package}.zip
    COMMAND ${CMAKE_COMMAND} -E tar cf ${_skin_out}/${_package}.zip --format=zip ${_members}
    WORKING_DIRECTORY ${_skin_data}/${_package}
    DEPENDS ${_member_paths}
    VERBATIM)
endforeach()

file(WRITE ${_skin_out}/SkinTestResources.rc.in
  "901 ZIPRES \"${_skin_out}/package_a.zip\"\n"
  "902 ZIPRES \"${_skin_out}/package_b.zip\"\n"
  "903 ZIPRES \"${_skin_data}/empty.bin\"\n"
  "904 PNG \"${_skin_data}/package_a/dot.png\"\n")
configure_file(${_skin_out}/SkinTestResources.rc.in ${_skin_out}/SkinTestResources.rc COPYONLY)
target_sources(win_tests PRIVATE ${_skin_out}/SkinTestResources.rc)
set_source_files_properties(${_skin_out}/SkinTestResources.rc PROPERTIES
  OBJECT_DEPENDS "${_skin_out}/package_a.zip;${_skin_out}/package_b.zip;${_skin_data}/empty.bin;${_skin_data}/package_a/dot.png")
