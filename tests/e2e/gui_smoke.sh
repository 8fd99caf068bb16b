#!/usr/bin/env bash
# Starts the real program under Xvfb on a scratch program folder, as a user
# would: the main menu appears with its exact title and its six buttons, and a
# click on "Quit" ends the program with exit code 0 (under the sanitizers a leak
# or any other report makes that code non-zero). Prints each check and the
# counts it found.
set -uo pipefail
BUILD=${1:?build dir}
# Without Xvfb nothing here can run: a skip (77) for ctest, a failure where
# every test must run (KORVIN_REQUIRE_ALL, set by ./dev test).
command -v xvfb-run >/dev/null || { echo "xvfb-run missing: not run"; [ -n "${KORVIN_REQUIRE_ALL:-}" ] && exit 1; exit 77; }
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
printf 'MData     %s/\r\nWait1     3\r\n' "$home" >"$home/Korvin.ini"

xvfb-run -a -n 120 -s "-screen 0 1024x768x24" bash -s "$BUILD" "$home" <<'INNER'
set -uo pipefail
BUILD=$1; home=$2
passed=0; failed=0
check() { # NAME COMMAND...
  local name=$1; shift
  if "$@"; then passed=$((passed + 1)); echo "ok: $name"
  else failed=$((failed + 1)); echo "FAILED: $name"; fi
}
finish() { echo "$passed passed, $failed failed"; [ "$failed" -eq 0 ]; exit $?; }

# Every widget gets an X window of its own, so that the buttons can be found
# and clicked from outside.
QT_USE_NATIVE_WINDOWS=1 "$BUILD/korvin" --home "$home" & pid=$!
menu=""
for _ in $(seq 1 600); do  # up to a minute on a loaded machine
  kill -0 "$pid" 2>/dev/null || break
  menu=$(xdotool search --name '^<< Korvin >> Tipwise for Vantor $' 2>/dev/null | head -n 1)
  [ -n "$menu" ] && break
  sleep 0.1
done
check "the program starts and stays up" kill -0 "$pid"
check "the main menu appears with its title" test -n "$menu"
[ -n "$menu" ] || { kill "$pid" 2>/dev/null; wait "$pid"; finish; }
# The menu's buttons: its child windows of one width standing at one x, as
# "id width height x y", top to bottom.
menu_buttons() {
  xwininfo -children -id "$menu" |
    sed -n 's/^ *\(0x[0-9a-f]*\) .* \([0-9]*\)x\([0-9]*\)+\(-\{0,1\}[0-9]*\)+\(-\{0,1\}[0-9]*\) .*/\1 \2 \3 \4 \5/p' |
    awk '{ key = $2 " " $4; n[key]++; rows[key] = rows[key] $0 "\n" }
         END { for (k in n) if (n[k] > best) { best = n[k]; pick = k }; printf "%s", rows[pick] }' |
    sort -n -k5
}
# The layout is done once six buttons stand in a column (ten seconds at most).
for _ in $(seq 1 100); do
  buttons=$(menu_buttons)
  count=$(printf '%s' "$buttons" | grep -c . || true)
  [ "$count" -eq 6 ] && break
  sleep 0.1
done
echo "menu buttons found: $count"
check "the main menu shows six buttons in a column" test "$count" -eq 6

# "Quit" is the lowest; clicking it must end the program by itself.
quit=$(printf '%s\n' "$buttons" | tail -n 1 | cut -d' ' -f1)
if [ -n "$quit" ]; then
  xdotool mousemove --window "$quit" 10 10 click 1
fi
ended=""
for _ in $(seq 1 300); do
  kill -0 "$pid" 2>/dev/null || { ended=1; break; }
  sleep 0.1
done
check "Quit ends the program" test -n "$ended"
if [ -n "$ended" ]; then
  wait "$pid"; rc=$?
else
  kill "$pid" 2>/dev/null; wait "$pid"; rc=$?
fi
echo "exit code: $rc"
check "the program ends with exit code 0" test "$rc" -eq 0
finish
INNER
