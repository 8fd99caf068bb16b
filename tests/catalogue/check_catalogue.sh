#!/usr/bin/env bash
# Fails when a row of the bad-input catalogue names no test, a test that none
# of the built test programs holds, or a test that did not run and pass (a
# skipped one included). What ran is read from the results the test programs
# leave under BUILD_DIR/test-results when ctest runs them; a program without
# fresh results there is run here for the tests the catalogue names.
#   check_catalogue.sh CATALOGUE.md BUILD_DIR
set -uo pipefail
doc=${1:?catalogue}
build=${2:?build dir}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
known=$work/known     # "Suite.Test program"
outcome=$work/outcome # "Suite.Test COMPLETED|SKIPPED|FAILED"

# A result file of gtest as "Suite.Test RESULT" lines (FAILED when it failed).
results() {
  awk '/"name": /      { sub(/.*"name": "/, ""); sub(/".*/, ""); test = $0 }
       /"result": /    { sub(/.*"result": "/, ""); sub(/".*/, ""); result = $0; failed = 0 }
       /"failures": /  { failed = 1 }
       /"classname": / { sub(/.*"classname": "/, ""); sub(/".*/, ""); name = $0 "." test; line = name " " result }
       /^ *}/          { if (line != "") print (failed ? name " FAILED" : line); line = "" }' "$1"
}

while IFS= read -r -d '' program; do
  QT_QPA_PLATFORM=offscreen "$program" --gtest_list_tests 2>/dev/null |
    awk -v p="$program" '/^[^ ]/ { suite = $1 } /^  / { print suite $1, p }' >>"$known"
done < <(find "$build" -type f -perm -u+x -name 'test_*' -print0)
[ -s "$known" ] || { echo "no test programs under $build"; exit 1; }

rows=0 bad=0
named=$work/named
: >"$named"
while IFS= read -r line; do
  case "$line" in
    '| Bad input '* | '| ---'*) continue ;;
    '|'*) ;;
    *) continue ;;
  esac
  rows=$((rows + 1))
  cell=${line%|}
  cell=${cell##*|}
  names=$(grep -oE '`[A-Za-z0-9_]+\.[A-Za-z0-9_]+`' <<<"$cell" | tr -d '`')
  if [ -z "$names" ]; then
    echo "no test named: $line"
    bad=$((bad + 1))
    continue
  fi
  for name in $names; do
    if ! grep -q "^$name " "$known"; then
      echo "no such test: $name"
      bad=$((bad + 1))
    else
      echo "$name" >>"$named"
    fi
  done
done <"$doc"

# What each named test did: from the program's fresh results, or a run here.
for program in $(sort -u "$named" | while read -r n; do grep "^$n " "$known" | cut -d' ' -f2-; done | sort -u); do
  result=$build/test-results/$(basename "$program").json
  if [ -f "$result" ] && [ "$result" -nt "$program" ]; then
    results "$result" >>"$outcome"
    continue
  fi
  filter=$(sort -u "$named" | while read -r n; do grep -q "^$n $program\$" "$known" && printf '%s:' "$n"; done)
  QT_QPA_PLATFORM=offscreen GTEST_OUTPUT="json:$work/run.json" "$program" --gtest_filter="${filter%:}" >/dev/null 2>&1
  [ -f "$work/run.json" ] && results "$work/run.json" >>"$outcome"
  rm -f "$work/run.json"
done
for name in $(sort -u "$named"); do
  got=$(grep "^$name " "$outcome" | tail -n 1 | cut -d' ' -f2)
  if [ "$got" != "COMPLETED" ]; then
    echo "did not run and pass: $name (${got:-no result})"
    bad=$((bad + 1))
  fi
done
echo "$rows rows checked, $bad problems"
[ "$rows" -gt 0 ] && [ "$bad" -eq 0 ]
