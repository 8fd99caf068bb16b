#!/usr/bin/env bash
# The Windows build (./dev windows): the toolchain (tools/windows/toolchain.sh,
# cached), Korvin's four programs cross-built into build-win/, the test
# programs that build for Windows run under Wine, and korvin-<version>-win64.zip
# in the top folder. Clear the toolchain cache with rm -rf on the folder it prints.
# Prints how long each stage took.
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/../.." && pwd)
CACHE=${KORVIN_WINDOWS_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/korvin-windows}
BUILD=${KORVIN_WINDOWS_BUILD_DIR:-$ROOT/build-win}
JOBS=${KORVIN_WINDOWS_JOBS:-2}
export KORVIN_WINDOWS_CACHE=$CACHE
QT=$CACHE/qt
ICU=$CACHE/icu
PROGRAMS=(korvin korvin-cli korvin-hostsim korvin-demodata)

timed() {
  local name=$1 start
  shift
  echo "== $name"
  start=$(date +%s)
  "$@"
  echo "== $name: $(( $(date +%s) - start )) s"
}

toolchain() { nice -n 19 bash "$ROOT/tools/windows/toolchain.sh" "$CACHE"; }

configure() {
  cmake -S "$ROOT" -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=Release -DKORVIN_WERROR=ON \
    -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-w64-x86_64.cmake" -DKORVIN_WINDOWS_PREFIXES="$QT;$ICU" \
    -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
    -DCMAKE_CROSSCOMPILING_EMULATOR="$ROOT/tools/windows/wine-run.sh" >/dev/null
}

programs() { cmake --build "$BUILD" --parallel "$JOBS" --target "${PROGRAMS[@]}"; }

# The test programs of the Windows build, run through the emulator on a
# private display (Wine's windows need one even when Qt draws offscreen). A
# test program that does not build for Windows is named, and the stage fails.
tests() {
  local targets built=() missing=() t names
  mapfile -t targets < <(cmake --build "$BUILD" --target help | sed -n 's/^\(test_[a-z0-9_]*\): .*/\1/p' | grep -v '_autogen')
  for t in "${targets[@]}"; do
    if cmake --build "$BUILD" --parallel "$JOBS" --target "$t" >"$BUILD/$t.buildlog" 2>&1; then
      built+=("$t")
    else
      missing+=("$t")
    fi
  done
  [ ${#missing[@]} -eq 0 ] || echo "do not build for Windows: ${missing[*]} (logs: $BUILD/<name>.buildlog)"
  echo "Linux only (tests/CMakeLists.txt): hardening $(cd "$ROOT/tests" && find . -name '*_posix_test.cpp' | sed 's|^\./||' | paste -sd' ')"
  names=$(printf '%s\n' "${built[@]}" | sed 's/^test_//' | paste -sd'|')
  (cd "$BUILD" && xvfb-run -a -n 170 -s "-screen 0 1280x1024x24" \
     ctest --output-on-failure --timeout 900 -R "^($names)\$") || return 1
  [ ${#missing[@]} -eq 0 ]
}

# korvin-cli.exe prints the same bytes as the Linux korvin-cli (built in
# $KORVIN_LINUX_BUILD, ./dev build's build/).
compare() {
  bash "$ROOT/tools/windows/compare-cli.sh" "${KORVIN_LINUX_BUILD:-$ROOT/build}" "$BUILD" "$BUILD/compare"
}

zip_file() {
  local version out stage gcc_dir pthread_dir
  version=$(sed -n 's/^project(Korvin VERSION \([0-9.]*\).*/\1/p' "$ROOT/CMakeLists.txt")
  out=$ROOT/korvin-$version-win64.zip
  stage=$BUILD/zip/korvin-$version-win64
  rm -rf "$BUILD/zip" && mkdir -p "$stage/platforms" "$stage/styles" "$stage/translations" "$stage/licenses"
  for p in "${PROGRAMS[@]}"; do
    cp "$(find "$BUILD" -name "$p.exe" -not -path '*/zip/*' | head -n 1)" "$stage/"
  done
  cp "$QT"/bin/Qt6Core.dll "$QT"/bin/Qt6Gui.dll "$QT"/bin/Qt6Widgets.dll "$stage/"
  cp "$QT"/plugins/platforms/qwindows.dll "$stage/platforms/"
  cp "$QT"/plugins/styles/*.dll "$stage/styles/" 2>/dev/null || rmdir "$stage/styles"
  gcc_dir=$(dirname "$(x86_64-w64-mingw32-g++-posix -print-file-name=libstdc++-6.dll)")
  pthread_dir=$(dirname "$(x86_64-w64-mingw32-g++-posix -print-file-name=libwinpthread-1.dll)")
  cp "$gcc_dir/libstdc++-6.dll" "$gcc_dir/libgcc_s_seh-1.dll" "$pthread_dir/libwinpthread-1.dll" "$stage/"
  cp /usr/share/qt6/translations/qtbase_ja.qm "$stage/translations/"
  cp "$ROOT/tools/windows/README-windows.txt" "$stage/"
  # Without their symbols: a third of the size.
  find "$stage" -name '*.exe' -o -name '*.dll' | xargs x86_64-w64-mingw32-strip --strip-unneeded
  # The licences of what the zip carries: Qt (LGPL 3), ICU, the GCC runtime and winpthreads.
  local qtsrc icusrc
  qtsrc=$(ls -d "$CACHE"/src/qt6-base-*/ | head -n 1)
  icusrc=$(ls -d "$CACHE"/src/icu-*/ | head -n 1)
  cp "$qtsrc/LICENSES/LGPL-3.0-only.txt" "$stage/licenses/Qt-LGPL-3.0-only.txt"
  cp "$qtsrc/LICENSES/GPL-3.0-only.txt" "$stage/licenses/Qt-GPL-3.0-only.txt"
  cp "$icusrc/LICENSE" "$stage/licenses/ICU-LICENSE.txt"
  cp /usr/share/doc/gcc-mingw-w64-base/copyright "$stage/licenses/GCC-runtime-copyright.txt"
  cp /usr/share/doc/mingw-w64-common/copyright "$stage/licenses/mingw-w64-copyright.txt"
  # The libraries built into Qt's DLLs, each under its own licence.
  local lib f
  for lib in freetype harfbuzz-ng libpng libjpeg zlib pcre2 double-conversion md4c easing tinycbor; do
    for f in "$qtsrc/src/3rdparty/$lib"/{LICENSE,LICENCE,COPYING}*; do
      if [ -f "$f" ]; then cp "$f" "$stage/licenses/Qt-3rdparty-$lib-$(basename "$f")"; fi
    done
  done
  printf 'Qt 6.4.2 (qtbase), built from Debian source package qt6-base %s.\nIts source: %s\n' \
    "$(basename "$qtsrc")" "https://download.qt.io/archive/qt/6.4/6.4.2/submodules/" >"$stage/licenses/Qt-SOURCE.txt"
  rm -f "$out"
  (cd "$BUILD/zip" && zip -qr "$out" "korvin-$version-win64")
  echo "$out ($(du -h "$out" | cut -f1))"
}

case "${1:-all}" in
  toolchain) timed toolchain toolchain ;;
  all)
    timed toolchain toolchain
    timed configure configure
    timed programs programs
    timed zip zip_file
    timed compare compare
    timed tests tests
    ;;
  programs)
    timed configure configure
    timed programs programs
    timed zip zip_file
    ;;
  tests) timed tests tests ;;
  compare) timed compare compare ;;
  *) echo "usage: tools/windows/windows.sh [all|toolchain|programs|tests|compare]" >&2; exit 2 ;;
esac
