# What the self-update tests meet on the dev portal's resource host, built
# with the Windows build: a launcher compiled as a later version, and the
# packages of tools/lzmapack (built for this machine) in version folders of
# the portal's resource folder.
#
#   LAUNCHER_TEST_NEXT_VERSION         the newer launcher's version and folder
#   LAUNCHER_TEST_HALF_VERSION         names a newer version, holds the current launcher
#   LAUNCHER_TEST_TRUNCATED_VERSION    the newer package cut in half
#   LAUNCHER_TEST_CORRUPT_VERSION      the newer package with a broken stream header
#   LAUNCHER_TEST_UNVERSIONED_VERSION  an executable without a version resource
#   target update_packages

include(ExternalProject)

set(LAUNCHER_TEST_NEXT_VERSION 2016-05-01)
set(LAUNCHER_TEST_HALF_VERSION 2016-05-02)
set(LAUNCHER_TEST_TRUNCATED_VERSION 2016-05-03)
set(LAUNCHER_TEST_CORRUPT_VERSION 2016-05-04)
set(LAUNCHER_TEST_UNVERSIONED_VERSION 2016-05-05)

# The cross toolchain must not reach the host tool: its compilers are named.
set(_host_lzmapack ${CMAKE_BINARY_DIR}/host-tools/lzmapack-build/lzmapack)
ExternalProject_Add(host_lzmapack
  SOURCE_DIR ${CMAKE_SOURCE_DIR}/tools/lzmapack/host
  BINARY_DIR ${CMAKE_BINARY_DIR}/host-tools/lzmapack-build
  PREFIX ${CMAKE_BINARY_DIR}/host-tools
  CMAKE_ARGS -DCMAKE_C_COMPILER=cc -DCMAKE_CXX_COMPILER=c++ -DCMAKE_BUILD_TYPE=Release
             -DCMAKE_TOOLCHAIN_FILE=
  INSTALL_COMMAND ""
  BUILD_BYPRODUCTS ${_host_lzmapack}
  BUILD_ALWAYS ON)  # its own build notices changed sources

launcher_add_executable(LauncherQAMB_next VERSION ${LAUNCHER_TEST_NEXT_VERSION}
                        OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/next-launcher)

find_package(Python3 REQUIRED COMPONENTS Interpreter)
set(_packages "")
foreach(version NEXT HALF TRUNCATED CORRUPT UNVERSIONED)
  list(APPEND _packages
       ${LAUNCHER_DEVPORTAL_RESOURCES}/${LAUNCHER_TEST_${version}_VERSION}/launcherqamb.exe.lzma)
endforeach()
add_custom_command(
  OUTPUT ${_packages}
  COMMAND Python3::Interpreter ${CMAKE_CURRENT_LIST_DIR}/make_update_packages.py
          ${_host_lzmapack} ${LAUNCHER_DEVPORTAL_RESOURCES}
          $<TARGET_FILE:LauncherQAMB_next> $<TARGET_FILE:LauncherQAMB> $<TARGET_FILE:update_host>
          ${LAUNCHER_TEST_NEXT_VERSION} ${LAUNCHER_TEST_HALF_VERSION}
          ${LAUNCHER_TEST_TRUNCATED_VERSION} ${LAUNCHER_TEST_CORRUPT_VERSION}
          ${LAUNCHER_TEST_UNVERSIONED_VERSION}
  DEPENDS host_lzmapack ${_host_lzmapack} LauncherQAMB_next LauncherQAMB update_host
          ${CMAKE_CURRENT_LIST_DIR}/make_update_packages.py
  COMMENT "Packing the self-update test packages"
  VERBATIM)
add_custom_target(update_packages ALL DEPENDS ${_packages})
