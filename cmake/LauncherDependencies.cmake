# Native builds use Debian's -dev packages; the Windows build finds the
# libraries that scripts/bootstrap cross-built into LAUNCHER_DEPS_PREFIX.
set(THREADS_PREFER_PTHREAD_FLAG ON)
find_package(Threads REQUIRED)
find_package(GTest REQUIRED)
if(WIN32)
  # Static zlib: the executables import only the system's own DLLs.
  set(ZLIB_USE_STATIC_LIBS ON)
endif()
find_package(ZLIB REQUIRED)
find_package(jsoncpp CONFIG REQUIRED)   # JsonCpp::JsonCpp
find_package(CURL REQUIRED)             # CURL::libcurl (CURL_STATICLIB on Windows)
# The cross-built liblzma carries a CMake config that adds LZMA_API_STATIC;
# Debian's native package has none, and FindLibLZMA serves there.
find_package(liblzma CONFIG QUIET)
if(NOT liblzma_FOUND)
  find_package(LibLZMA REQUIRED)
endif()
if(NOT WIN32)
  find_path(STB_INCLUDE_DIR stb_image.h PATH_SUFFIXES stb REQUIRED)
else()
  # stb is header-only; Debian's libstb-dev serves the cross build too.
  set(STB_INCLUDE_DIR /usr/include/stb)
endif()
