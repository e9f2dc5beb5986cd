# Cross build for 64-bit Windows with MinGW-w64 GCC (posix thread model:
# the win32 model has no std::mutex, which GoogleTest needs).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(_mingw x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${_mingw}-gcc-posix)
set(CMAKE_CXX_COMPILER ${_mingw}-g++-posix)
set(CMAKE_RC_COMPILER ${_mingw}-windres)
set(CMAKE_AR ${_mingw}-gcc-ar-posix CACHE FILEPATH "")
set(CMAKE_RANLIB ${_mingw}-gcc-ranlib-posix CACHE FILEPATH "")

# Dependencies cross-built by scripts/bootstrap live outside the repository.
if(NOT LAUNCHER_DEPS_PREFIX)
  if(DEFINED ENV{LAUNCHER_DEPS_PREFIX} AND NOT "$ENV{LAUNCHER_DEPS_PREFIX}" STREQUAL "")
    set(LAUNCHER_DEPS_PREFIX "$ENV{LAUNCHER_DEPS_PREFIX}")
  else()
    set(LAUNCHER_DEPS_PREFIX "$ENV{HOME}/.cache/launcherqamb/mingw64")
  endif()
endif()
set(CMAKE_FIND_ROOT_PATH /usr/${_mingw} ${LAUNCHER_DEPS_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
