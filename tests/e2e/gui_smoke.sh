#!/usr/bin/env bash
# Starts the real program under Xvfb on a scratch program folder and checks that
# the main menu window appears with its exact title.
set -euo pipefail
BUILD=${1:?build dir}
command -v xvfb-run >/dev/null || { echo "xvfb-run missing"; exit 1; }
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
printf 'MData     %s/\r\nWait1     3\r\n' "$home" > "$home/Korvin.ini"

xvfb-run -a -s "-screen 0 1024x768x24" bash -s "$BUILD" "$home" <<'INNER'
set -euo pipefail
BUILD=$1; home=$2
"$BUILD/korvin" --home "$home" & pid=$!
found=""
for _ in $(seq 1 600); do  # up to a minute on a loaded machine
  if xdotool search --name '^<< Korvin >> Tipwise for Vantor $' >/dev/null 2>&1; then found=1; break; fi
  sleep 0.1
done
kill "$pid" 2>/dev/null || true
wait "$pid" 2>/dev/null || true
[ -n "$found" ] || { echo "main menu window did not appear"; exit 1; }
echo "main menu shown"
INNER
echo "1 passed, 0 failed"
