# The launcher's version, compiled into each executable on its own:
#   launcher_embed_version(<target> [VERSION <text>] [NO_RESOURCE])
# adds kLauncherVersion / kLauncherVersionW (update/LauncherVersion.h) and,
# in the Windows build and unless NO_RESOURCE, a VERSIONINFO resource whose
# "FileVersion" is the same text. The default is the cache variable LAUNCHER_VERSION; the tests'
# newer launcher passes its own.

function(launcher_embed_version target)
  cmake_parse_arguments(ARG "NO_RESOURCE" "VERSION" "" ${ARGN})
  set(version ${LAUNCHER_VERSION})
  if(ARG_VERSION)
    set(version ${ARG_VERSION})
  endif()
  if(NOT version MATCHES "^[A-Za-z0-9._-]+$")
    message(FATAL_ERROR "launcher version '${version}' must be letters, digits, '.', '_' or '-'")
  endif()
  # The numeric form: the first four numbers of the text ("2016-04-25" is
  # 2016,4,25,0), each cut to the 16 bits a VERSIONINFO field holds.
  string(REGEX MATCHALL "[0-9]+" numbers "${version}")
  set(numeric "")
  foreach(i RANGE 0 3)
    list(LENGTH numbers count)
    set(n 0)
    if(i LESS count)
      list(GET numbers ${i} n)
      math(EXPR n "${n} % 65536")
    endif()
    list(APPEND numeric ${n})
  endforeach()
  list(JOIN numeric "," numeric)

  string(MAKE_C_IDENTIFIER "${version}" id)
  set(dir ${CMAKE_BINARY_DIR}/generated/version/${id})
  configure_file(${CMAKE_SOURCE_DIR}/cmake/LauncherVersion.cpp.in ${dir}/LauncherVersion.cpp @ONLY)
  target_sources(${target} PRIVATE ${dir}/LauncherVersion.cpp)
  if(WIN32 AND NOT ARG_NO_RESOURCE)
    configure_file(${CMAKE_SOURCE_DIR}/cmake/LauncherVersion.rc.in ${dir}/LauncherVersion.rc @ONLY)
    target_sources(${target} PRIVATE ${dir}/LauncherVersion.rc)
  endif()
endfunction()
