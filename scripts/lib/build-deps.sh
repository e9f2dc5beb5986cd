#!/usr/bin/env bash
# Cross-build the static Windows (x86_64-w64-mingw32, posix thread model)
# libraries the launcher links: JsonCpp, liblzma, libcurl (HTTP only, no TLS)
# and GoogleTest/GoogleMock, from Debian's source packages.
#
# Usage: build-deps.sh [PREFIX]
#   PREFIX defaults to "${LAUNCHER_DEPS_CACHE:-$HOME/.cache/launcherqamb}/mingw64".
#   Sources, build trees and logs live in "PREFIX-src" next to it.
#
# The prefix holds a stamp with the source package versions, the compiler
# version and RECIPE_VERSION below. When it matches, the script exits 0 at
# once without printing anything; otherwise the prefix is wiped and every
# library is rebuilt. Bump RECIPE_VERSION whenever the build options change.
#
# Consumers (CMake, with cmake/toolchain-mingw64.cmake and
# -DLAUNCHER_DEPS_PREFIX=PREFIX):
#   find_package(jsoncpp CONFIG REQUIRED)   -> JsonCpp::JsonCpp (jsoncpp_static)
#   find_package(liblzma CONFIG REQUIRED)   -> liblzma::liblzma (LZMA_API_STATIC)
#   find_package(CURL CONFIG REQUIRED)      -> CURL::libcurl    (CURL_STATICLIB,
#                                              ws2_32 bcrypt)
#   find_package(GTest CONFIG REQUIRED)     -> GTest::gtest GTest::gtest_main
#                                              GTest::gmock GTest::gmock_main
set -euo pipefail

RECIPE_VERSION=1
HOST=x86_64-w64-mingw32
CC_BIN=$HOST-gcc-posix
CXX_BIN=$HOST-g++-posix
# Debian source package names, in build order; NAMES are for the progress lines.
PACKAGES=(libjsoncpp xz-utils curl googletest)
declare -A NAMES=([libjsoncpp]=jsoncpp [xz-utils]=liblzma [curl]=libcurl [googletest]=googletest)

SCRIPT_DIR=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
TOOLCHAIN=$(cd "$SCRIPT_DIR/../.." && pwd)/cmake/toolchain-mingw64.cmake

PREFIX=${1:-${LAUNCHER_DEPS_CACHE:-$HOME/.cache/launcherqamb}/mingw64}
case $PREFIX in /*) ;; *) PREFIX=$PWD/$PREFIX ;; esac
PREFIX=${PREFIX%/}
WORK=$PREFIX-src
STAMP=$PREFIX/.build-deps-stamp
MARKER=.build-deps-owned   # marks folders this script may wipe

export DEBIAN_FRONTEND=noninteractive LC_ALL=C

die() { echo "build-deps: $*" >&2; exit 1; }

# Prints "pkg=version" for the newest version of each source package that
# apt knows about. Fails when a package is unknown.
source_versions() {
  apt-cache showsrc "${PACKAGES[@]}" 2>/dev/null | awk '
    /^Package: / { pkg = $2 }
    /^Version: / { print pkg, $2 }' | {
    declare -A best=()
    while read -r pkg ver; do
      [[ -n ${best[$pkg]:-} ]] && dpkg --compare-versions "$ver" le "${best[$pkg]}" && continue
      best[$pkg]=$ver
    done
    for pkg in "${PACKAGES[@]}"; do
      [[ -n ${best[$pkg]:-} ]] || return 1
      echo "$pkg=${best[$pkg]}"
    done
  }
}

# The cross compiler and the MinGW-w64 headers/runtime: a new one rebuilds.
TOOLCHAIN_PACKAGES=(gcc-mingw-w64-x86-64-posix g++-mingw-w64-x86-64-posix mingw-w64-x86-64-dev)

compute_stamp() {
  local versions tools
  versions=$(source_versions) || return 1
  tools=$(dpkg-query -W -f='${Package}=${Version}\n' "${TOOLCHAIN_PACKAGES[@]}" 2>/dev/null) ||
    tools="gcc=$("$CC_BIN" -dumpfullversion 2>/dev/null)" || return 1
  printf 'recipe=%s\nhost=%s\n%s\n%s\n' "$RECIPE_VERSION" "$HOST" "$tools" "$versions"
}

stamp_matches() { [[ -f $STAMP ]] && [[ "$(<"$STAMP")" == "$1" ]]; }

# --- fast path: nothing to do ---------------------------------------------
if want=$(compute_stamp) && stamp_matches "$want"; then
  exit 0
fi

# --- checks -----------------------------------------------------------------
for tool in "$CC_BIN:gcc-mingw-w64-x86-64-posix" "$CXX_BIN:g++-mingw-w64-x86-64-posix" \
            cmake:cmake ninja:ninja-build dpkg-source:dpkg-dev apt-get:apt flock:util-linux; do
  command -v "${tool%%:*}" >/dev/null || die "missing ${tool%%:*} (Debian package ${tool#*:})"
done
[[ -f $TOOLCHAIN ]] || die "toolchain file not found: $TOOLCHAIN"

if [[ -z ${want:-} ]] || ! source_versions >/dev/null; then
  # No source package lists yet (fresh machine): fetch them once.
  echo "build-deps: apt-get update (source package lists)"
  apt-get -qq update </dev/null >/dev/null 2>&1 || die "apt-get update failed"
  want=$(compute_stamp) ||
    die "cannot find source packages ${PACKAGES[*]} (is deb-src enabled?)"
fi

# Refuse to wipe a folder this script did not create.
guard_dir() {
  local d=$1
  case $d in /|"$HOME"|/usr|/usr/*|/etc|/etc/*) die "refusing to use $d" ;; esac
  if [[ -d $d && ! -e $d/$MARKER && -n "$(ls -A "$d")" ]]; then
    die "$d exists, is not empty and was not made by this script; pick another prefix"
  fi
  return 0
}
guard_dir "$PREFIX"
guard_dir "$WORK"
mkdir -p "$(dirname "$PREFIX")"

# One build at a time per prefix; a second caller waits and then finds the
# stamp written by the first.
exec 9>"$PREFIX.lock"
flock 9
stamp_matches "$want" && exit 0

rm -rf "$PREFIX" "$WORK/build" "$WORK/tree" "$WORK/logs"
mkdir -p "$PREFIX" "$WORK/downloads" "$WORK/build" "$WORK/tree" "$WORK/logs"
touch "$PREFIX/$MARKER" "$WORK/$MARKER"

declare -A VERSION=()
while IFS='=' read -r key val; do VERSION[$key]=$val; done <<<"$want"

LOG=
fail() {
  echo "build-deps: FAILED: $*" >&2
  if [[ -n $LOG && -f $LOG ]]; then
    echo "---- last lines of $LOG ----" >&2
    tail -n 40 "$LOG" >&2
  fi
  exit 1
}
run() {
  local cmd="$*"
  (( ${#cmd} <= 160 )) || cmd="${cmd:0:157}..."
  "$@" >>"$LOG" 2>&1 || fail "$cmd"
}

JOBS=$(nproc 2>/dev/null || echo 2)
OPT="-O2 -DNDEBUG"

# --- fetch and unpack -----------------------------------------------------
LOG=$WORK/logs/fetch.log
specs=()
for pkg in "${PACKAGES[@]}"; do specs+=("$pkg=${VERSION[$pkg]}"); done
cd "$WORK/downloads"
# Sandbox user root: the download folder need not be readable by _apt.
if ! apt-get -q -o APT::Sandbox::User=root source --download-only "${specs[@]}" \
     </dev/null >>"$LOG" 2>&1; then
  # Lists may be stale (version no longer on the mirror): refresh once.
  run apt-get -qq update
  want=$(compute_stamp) || fail "source packages vanished after apt-get update"
  while IFS='=' read -r key val; do VERSION[$key]=$val; done <<<"$want"
  specs=()
  for pkg in "${PACKAGES[@]}"; do specs+=("$pkg=${VERSION[$pkg]}"); done
  run apt-get -q -o APT::Sandbox::User=root source --download-only "${specs[@]}"
fi
# Drop downloads of versions no longer wanted.
keep=$(apt-get -qq -o APT::Sandbox::User=root source --print-uris "${specs[@]}" \
       </dev/null 2>>"$LOG" | awk '{print $2}') || keep=
if [[ -n $keep ]]; then
  for f in *; do grep -qxF -- "$f" <<<"$keep" || rm -f -- "$f"; done
fi

declare -A SRC=()
for pkg in "${PACKAGES[@]}"; do
  ver=${VERSION[$pkg]}
  dsc=$WORK/downloads/${pkg}_${ver#*:}.dsc
  [[ -f $dsc ]] || fail "missing $dsc after apt-get source"
  SRC[$pkg]=$WORK/tree/$pkg
  run dpkg-source -x "$dsc" "${SRC[$pkg]}"
done

# Debian's curl series ends with patches that rename the library for its
# GnuTLS and NSS flavours (autotools files only); undo them as its rules do.
for p in 99_nss.patch 90_gnutls.patch; do
  pf=${SRC[curl]}/debian/patches/$p
  if [[ -f $pf ]]; then
    LOG=$WORK/logs/fetch.log
    run patch -d "${SRC[curl]}" -R -p1 -s -i "$pf"
  fi
done

# --- build ------------------------------------------------------------------
cmake_build() {  # pkg [extra cmake args...]; install is done by the caller
  local pkg=$1; shift
  local b=$WORK/build/$pkg
  run cmake -S "${SRC[$pkg]}" -B "$b" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$TOOLCHAIN" \
    -DLAUNCHER_DEPS_PREFIX="$PREFIX" \
    -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_C_FLAGS_RELEASE="$OPT" -DCMAKE_CXX_FLAGS_RELEASE="$OPT" \
    -DCMAKE_INSTALL_PREFIX="$PREFIX" -DCMAKE_INSTALL_LIBDIR=lib \
    -DBUILD_SHARED_LIBS=OFF -DBUILD_TESTING=OFF \
    "$@"
}

begin() {
  LOG=$WORK/logs/${NAMES[$1]}.log
  echo "build-deps: building ${NAMES[$1]} (${VERSION[$1]})"
}

begin libjsoncpp
cmake_build libjsoncpp \
  -DBUILD_STATIC_LIBS=ON -DBUILD_OBJECT_LIBS=OFF \
  -DJSONCPP_WITH_TESTS=OFF -DJSONCPP_WITH_POST_BUILD_UNITTEST=OFF \
  -DJSONCPP_WITH_EXAMPLE=OFF -DJSONCPP_WITH_PKGCONFIG_SUPPORT=ON \
  -DJSONCPP_WITH_CMAKE_PACKAGE=ON
run cmake --build "$WORK/build/libjsoncpp" -j "$JOBS"
run cmake --install "$WORK/build/libjsoncpp"

begin xz-utils
cmake_build xz-utils
# Only the library: the xz/xzdec tools are not needed.
run cmake --build "$WORK/build/xz-utils" -j "$JOBS" --target liblzma
run cmake --install "$WORK/build/xz-utils" --component liblzma_Development

begin curl
cmake_build curl \
  -DHTTP_ONLY=ON -DCURL_DISABLE_LDAP=ON -DCURL_DISABLE_LDAPS=ON \
  -DCURL_ENABLE_SSL=OFF -DCURL_USE_OPENSSL=OFF -DCURL_USE_SCHANNEL=OFF \
  -DCURL_USE_MBEDTLS=OFF -DCURL_USE_BEARSSL=OFF -DCURL_USE_NSS=OFF \
  -DCURL_USE_WOLFSSL=OFF -DCURL_WINDOWS_SSPI=OFF \
  -DCURL_ZLIB=OFF -DCURL_BROTLI=OFF -DCURL_ZSTD=OFF \
  -DUSE_LIBIDN2=OFF -DUSE_WIN32_IDN=OFF -DCURL_USE_LIBPSL=OFF \
  -DCURL_USE_LIBSSH2=OFF -DCURL_USE_LIBSSH=OFF -DCURL_USE_GSSAPI=OFF \
  -DUSE_NGHTTP2=OFF -DUSE_NGTCP2=OFF -DUSE_QUICHE=OFF -DUSE_MSH3=OFF \
  -DENABLE_ARES=OFF -DENABLE_UNIX_SOCKETS=OFF -DENABLE_MANUAL=OFF \
  -DBUILD_CURL_EXE=OFF -DCURL_DISABLE_TESTS=ON -DPICKY_COMPILER=OFF \
  -DCMAKE_DISABLE_FIND_PACKAGE_Perl=ON
run cmake --build "$WORK/build/curl" -j "$JOBS"
run cmake --install "$WORK/build/curl"

begin googletest
cmake_build googletest -DBUILD_GMOCK=ON -DINSTALL_GTEST=ON
run cmake --build "$WORK/build/googletest" -j "$JOBS"
run cmake --install "$WORK/build/googletest"

# --- check what consumers will get ---------------------------------------------
LOG=$WORK/logs/check.log
: >"$LOG"
check() {  # description file pattern
  grep -qs -- "$3" "$2" || { echo "$1: '$3' not in $2" >>"$LOG"; fail "$1"; }
}
check "curl config lacks CURL_STATICLIB" "$PREFIX/lib/cmake/CURL/CURLTargets.cmake" CURL_STATICLIB
check "liblzma config lacks LZMA_API_STATIC" "$PREFIX/lib/cmake/liblzma/liblzma-targets.cmake" LZMA_API_STATIC
check "jsoncpp config lacks jsoncpp_static" "$PREFIX/lib/cmake/jsoncpp/jsoncpp-targets.cmake" jsoncpp_static
check "GTest config lacks GTest::gmock" "$PREFIX/lib/cmake/GTest/GMockTargets.cmake" GTest::gmock
for lib in libjsoncpp.a liblzma.a libcurl.a libgtest.a libgtest_main.a libgmock.a libgmock_main.a; do
  [[ -f $PREFIX/lib/$lib ]] || fail "missing $PREFIX/lib/$lib"
done
if compgen -G "$PREFIX/bin/*.dll" >/dev/null || compgen -G "$PREFIX/lib/*.dll.a" >/dev/null; then
  fail "a DLL or import library was installed: $(ls "$PREFIX"/bin/*.dll "$PREFIX"/lib/*.dll.a 2>/dev/null)"
fi

# Build trees are not needed any more; keep downloads and logs.
rm -rf "$WORK/build" "$WORK/tree"

printf '%s\n' "$want" >"$STAMP.tmp"
mv "$STAMP.tmp" "$STAMP"
echo "build-deps: done, installed in $PREFIX"
