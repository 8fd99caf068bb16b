#!/usr/bin/env bash
# Every source file of src/ compiles for Windows: the mingw-w64 compiler with
# -fsyntax-only against the installed (Linux) Qt headers, so that a POSIX-only
# call is caught without a Windows Qt. The X11 backend is Linux-only. A first
# check makes sure that a POSIX-only call does fail here.
# Usage: check_windows_compile.sh SRC_DIR WORK_DIR
set -euo pipefail
src=$(realpath "${1:?src folder}")
work=${2:?work folder}
cxx=x86_64-w64-mingw32-g++-posix
command -v "$cxx" >/dev/null || { echo "$cxx missing (package g++-mingw-w64-x86-64-posix)" >&2; exit 1; }
qt=/usr/include/x86_64-linux-gnu/qt6
[ -d "$qt/QtWidgets" ] || { echo "Qt headers missing at $qt (package qt6-base-dev)" >&2; exit 1; }
mkdir -p "$work/icu"
# ICU's headers alone: /usr/include as a whole would bring the Linux C library.
ln -sfn /usr/include/unicode "$work/icu/unicode"

common=(-std=c++17 -I"$src" -I"$work/icu" -isystem "$qt" -isystem "$qt/QtCore" -isystem "$qt/QtGui"
       -isystem "$qt/QtWidgets" -DQT_CORE_LIB -DQT_GUI_LIB -DQT_WIDGETS_LIB -DUNICODE -D_UNICODE
       -DU_STATIC_IMPLEMENTATION -DQT_NO_CAST_TO_ASCII -DQT_NO_CAST_FROM_ASCII -DQT_NO_CAST_FROM_BYTEARRAY
       -DQT_NO_FOREACH)
# The project's warnings, as errors: the Windows branches (#ifdef Q_OS_WIN) are
# compiled nowhere else in ./dev test.
flags=("${common[@]}" -fsyntax-only -Wall -Wextra -Wcast-qual -pedantic -Wshadow -Werror)

# Qt's headers are most of the work: compiled once into a precompiled header.
pch=$work/qtall.h
printf '#include <QtWidgets>\n' >"$pch"
"$cxx" "${common[@]}" -x c++-header "$pch" -o "$pch.gch"

printf '#include <unistd.h>\n#include <QString>\nint f() { return ::link("a", "b"); }\n' >"$work/posix_only.cpp"
if "$cxx" "${flags[@]}" -include "$pch" "$work/posix_only.cpp" 2>/dev/null; then
  echo "a POSIX-only call (::link) compiled for Windows: the check would miss it" >&2
  exit 1
fi

export cxx pch
find "$src" -name '*.cpp' -not -path '*/host/x11/*' | sort >"$work/files"
# Files without Qt go without the precompiled header (its "emit" and "signals"
# would reach their plain C++).
# shellcheck disable=SC2016
if ! xargs -a "$work/files" -P "$(nproc)" -I{} bash -c '
       f=$1; shift
       pre=(); grep -q "^#include <Q" "$f" && pre=(-include "$pch")
       "$cxx" "$@" "${pre[@]}" "$f" || { echo "FAILED: $f" >&2; exit 1; }' _ {} "${flags[@]}"; then
  echo "some files of src/ do not compile for Windows (see above)" >&2
  exit 1
fi
echo "$(wc -l <"$work/files") files compile for Windows"
