# Shared settings of the entry scripts. Source it; it sets REPO and friends.
REPO=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
LAUNCHER_DEPS_CACHE=${LAUNCHER_DEPS_CACHE:-$HOME/.cache/launcherqamb}
export LAUNCHER_DEPS_PREFIX=${LAUNCHER_DEPS_PREFIX:-$LAUNCHER_DEPS_CACHE/mingw64}
WINDOWS_BUILD=$REPO/build/windows
export WINEPREFIX=${WINEPREFIX:-$WINDOWS_BUILD/wineprefix}
export WINEDEBUG=${WINEDEBUG:--all}
# No Mono or Gecko installers; no menu and desktop entries in the Unix home
# for the shortcuts that programs make.
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=;winemenubuilder.exe=d}
JOBS=$(nproc 2>/dev/null || echo 2)

# Every Debian package that building and testing need, in one place.
LAUNCHER_PACKAGES=(
  # native build and unit tests
  build-essential cmake ninja-build pkg-config python3 git
  libgtest-dev libgmock-dev libbenchmark-dev
  libjsoncpp-dev liblzma-dev zlib1g-dev libcurl4-openssl-dev libstb-dev
  # Windows cross build
  g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
  mingw-w64-x86-64-dev libz-mingw-w64-dev
  # sources of the cross-built libraries
  dpkg-dev
  # Windows test runtime, display, input and screenshots
  wine wine64 xvfb xauth xdotool x11-apps imagemagick fonts-wqy-microhei
  # fuzzing, packaging, benchmarks
  clang libclang-rt-14-dev xz-utils curl zip unzip hyperfine
  # the skin art generator (tools/skinart)
  python3-pil python3-numpy fonts-dejavu-core
)

say() { printf '%s\n' "$*"; }
die() { printf 'error: %s\n' "$*" >&2; exit 1; }
