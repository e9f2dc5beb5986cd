# Native builds use Debian's -dev packages; the Windows build finds the
# libraries that scripts/bootstrap cross-built into LAUNCHER_DEPS_PREFIX.
set(THREADS_PREFER_PTHREAD_FLAG ON)
find_package(Threads REQUIRED)
find_package(GTest REQUIRED)
find_package(ZLIB REQUIRED)
