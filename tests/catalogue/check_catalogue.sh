#!/usr/bin/env bash
# Fails when a row of the bad-input catalogue names no test, or a test that
# none of the built test programs holds.
#   check_catalogue.sh CATALOGUE.md BUILD_DIR
set -uo pipefail
doc=${1:?catalogue}
build=${2:?build dir}
known=$(mktemp)
trap 'rm -f "$known"' EXIT
while IFS= read -r -d '' program; do
  QT_QPA_PLATFORM=offscreen "$program" --gtest_list_tests 2>/dev/null |
    awk '/^[^ ]/ { suite = $1 } /^  / { print suite $1 }' >>"$known"
done < <(find "$build" -type f -perm -u+x -name 'test_*' -print0)
[ -s "$known" ] || { echo "no test programs under $build"; exit 1; }

rows=0 bad=0
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
    if ! grep -qxF "$name" "$known"; then
      echo "no such test: $name"
      bad=$((bad + 1))
    fi
  done
done <"$doc"
echo "$rows rows checked, $bad problems"
[ "$rows" -gt 0 ] && [ "$bad" -eq 0 ]
