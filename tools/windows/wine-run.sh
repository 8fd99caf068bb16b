#!/usr/bin/env bash
# Runs a cross-built Windows program under Wine with the Qt and mingw-w64 DLLs
# found where they were built (the emulator of the Windows build's tests).
# KORVIN_WINDOWS_CACHE names the toolchain cache; WINEPREFIX defaults to one in it.
set -euo pipefail
cache=${KORVIN_WINDOWS_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/korvin-windows}
gcc_dll=$(dirname "$(x86_64-w64-mingw32-g++-posix -print-file-name=libstdc++-6.dll)")
pthread_dll=$(dirname "$(x86_64-w64-mingw32-g++-posix -print-file-name=libwinpthread-1.dll)")
export WINEPREFIX=${WINEPREFIX:-$cache/wineprefix} WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
export WINEPATH="Z:$cache/qt/bin;Z:$gcc_dll;Z:$pthread_dll"
export QT_PLUGIN_PATH="Z:$cache/qt/plugins"
# Set once per prefix: Windows' Japanese fonts stand for IPA Gothic
# (fonts-ipafont-gothic), and a program that crashes ends there instead of
# waiting in Wine's debugger (a test run would hang until its timeout).
if [ ! -e "$WINEPREFIX/.korvin-setup" ]; then
  for font in "MS UI Gothic" "MS Gothic" "MS PGothic" "Meiryo" "Meiryo UI" "Yu Gothic" "Yu Gothic UI"; do
    wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "$font" /t REG_SZ /d "IPAGothic" /f >/dev/null 2>&1
  done
  wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Debugger /t REG_SZ /d "" /f \
    >/dev/null 2>&1
  wineserver -w
  touch "$WINEPREFIX/.korvin-setup"
fi
exec wine "$@"
