#!/usr/bin/env bash
# Cross-builds what the Windows build of Korvin links against, once, into a cache outside
# the tree: ICU 72 (static) and qtbase 6.4.2 (shared: Core, Gui, Widgets, Test; the windows
# and offscreen platform plugins), both from Debian's source packages. Every stage leaves a
# stamp; a later run skips the stages that have one. Clear the cache with
#   rm -rf "${XDG_CACHE_HOME:-$HOME/.cache}/korvin-windows"
# Usage: tools/windows/toolchain.sh [CACHE]  (default: $KORVIN_WINDOWS_CACHE or the above)
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/../.." && pwd)
CACHE=${1:-${KORVIN_WINDOWS_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/korvin-windows}}
JOBS=${KORVIN_WINDOWS_JOBS:-2}
TOOLCHAIN=$ROOT/cmake/mingw-w64-x86_64.cmake
SRC=$CACHE/src
WORK=$CACHE/build
ICU_PREFIX=$CACHE/icu
QT_PREFIX=$CACHE/qt
mkdir -p "$SRC" "$WORK" "$CACHE/stamps"

# stage NAME FUNCTION: runs FUNCTION unless NAME's stamp exists; prints its time.
stage() {
  local name=$1 fn=$2 start
  if [ -e "$CACHE/stamps/$name" ]; then
    echo "== $name: cached ($(cat "$CACHE/stamps/$name"))"
    return 0
  fi
  echo "== $name: started $(date -u +%H:%M:%S)"
  start=$(date +%s)
  "$fn"
  echo "$(( $(date +%s) - start )) s on $(date -u +%F)" >"$CACHE/stamps/$name"
  echo "== $name: done in $(( $(date +%s) - start )) s"
}

as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

# Debian's source packages need a deb-src entry; a fresh machine has only the binary ones.
ensure_deb_src() {
  if grep -rqs '^Types:.*deb-src\|^deb-src ' /etc/apt/sources.list /etc/apt/sources.list.d/; then
    return 0
  fi
  local uri
  uri=$(sed -n 's/^URIs: *//p' /etc/apt/sources.list.d/debian.sources 2>/dev/null | head -n 1)
  uri=${uri:-http://deb.debian.org/debian}
  printf 'Types: deb-src\nURIs: %s\nSuites: bookworm bookworm-updates\nComponents: main\nSigned-By: /usr/share/keyrings/debian-archive-keyring.gpg\n' \
    "$uri" | as_root tee /etc/apt/sources.list.d/debian-src.sources >/dev/null
  as_root apt-get update -qq
}

sources() {
  ensure_deb_src
  (cd "$SRC" && apt-get source -qq icu qt6-base)
}

icu_src() { ls -d "$SRC"/icu-*/source | head -n 1; }
qt_src() { ls -d "$SRC"/qt6-base-*/ | head -n 1; }

# ICU's cross build needs a native build's tools and data.
icu_native() {
  rm -rf "$WORK/icu-native" && mkdir -p "$WORK/icu-native"
  (cd "$WORK/icu-native" && "$(icu_src)/configure" --disable-tests --disable-samples >/dev/null &&
    make -j"$JOBS" >/dev/null)
}

icu_cross() {
  rm -rf "$WORK/icu-cross" "$ICU_PREFIX" && mkdir -p "$WORK/icu-cross" "$ICU_PREFIX/bin"
  (cd "$WORK/icu-cross" &&
    CC=x86_64-w64-mingw32-gcc-posix CXX=x86_64-w64-mingw32-g++-posix \
      "$(icu_src)/configure" --host=x86_64-w64-mingw32 --with-cross-build="$WORK/icu-native" \
      --enable-static --disable-shared --disable-tests --disable-samples --disable-extras \
      --prefix="$ICU_PREFIX" >/dev/null &&
    make -j"$JOBS" >/dev/null && make install >/dev/null)
  # The installed data library is a stub; the real one is the build's.
  local data
  data=$(find "$WORK/icu-cross" -name 'sicudt.a' -size +1M | head -n 1)
  [ -n "$data" ] || { echo "no sicudt.a in the ICU cross build" >&2; return 1; }
  cp "$data" "$ICU_PREFIX/lib/libsicudt.a"
}

qtbase() {
  rm -rf "$WORK/qtbase" "$QT_PREFIX" && mkdir -p "$WORK/qtbase"
  # Debian's tarball lacks 3rdparty/wintab and iaccessible2: no tablet events, no
  # accessibility. Debian's own host tools (the same 6.4.2) serve as the host Qt.
  (cd "$WORK/qtbase" && "$(qt_src)/configure" -prefix "$QT_PREFIX" -release -shared \
    -no-opengl -no-dbus -no-icu -nomake tests -nomake examples \
    -no-feature-sql -no-feature-network -no-feature-printsupport -no-feature-tabletevent \
    -no-feature-accessibility -qt-zlib -qt-pcre -qt-libpng -qt-libjpeg -qt-freetype \
    -qt-harfbuzz -qt-doubleconversion -qt-host-path /usr -- -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$TOOLCHAIN" -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake)
  cmake --build "$WORK/qtbase" --parallel "$JOBS"
  cmake --install "$WORK/qtbase" >/dev/null
  # A consumer's find_package(Qt6) needs this helper, which the install leaves out.
  [ -e "$QT_PREFIX/lib/cmake/Qt6/QtFindWrapHelper.cmake" ] ||
    cp "$(qt_src)/cmake/QtFindWrapHelper.cmake" "$QT_PREFIX/lib/cmake/Qt6/"
}

echo "Windows toolchain cache: $CACHE"
stage sources sources
stage icu-native icu_native
stage icu-cross icu_cross
stage qtbase qtbase
echo "ICU: $ICU_PREFIX  Qt: $QT_PREFIX"
