#!/usr/bin/env bash
# Runs the cross-compiled Win32 key backend test under Wine on a private Xvfb
# display. Wine and Xvfb are part of the test set-up (./dev installs them): without
# them the test fails rather than pass unrun.
set -euo pipefail
exe=$(realpath "${1:?test program}")
[ -f "$exe" ] || { echo "$exe was not built"; exit 1; }
if ! command -v wine >/dev/null || ! command -v xvfb-run >/dev/null; then
  echo "wine or xvfb-run missing: $exe built, not run" >&2
  exit 1
fi
export WINEPREFIX=${WINEPREFIX:-$(dirname "$exe")/wineprefix} WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
log=$(mktemp)
trap 'rm -f "$log"' EXIT
# Wine's own chatter goes to the log, shown only when the run fails.
if ! xvfb-run -a -n 140 -s "-screen 0 1024x768x24" \
     bash -c 'wine "$1"; rc=$?; wineserver -k; exit $rc' _ "$exe" 2>"$log"; then
  cat "$log" >&2
  exit 1
fi
