#!/usr/bin/env bash
# check_layers.sh on small trees: each case adds one file to a tree that passes
# and says whether the check must still pass.
set -uo pipefail
CHECK="$(dirname "$0")/check_layers.sh"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# file | its text | expected result
cases=(
  'racing/ok.cpp|#include "common/helpers.h"|pass'
  'host/x11/ok.cpp|#include "timerank/analysis.h"|pass'
  'predict/ui/ok.cpp|#include "racecard/ui/frmDataList.h"|pass'
  'cli/ok.cpp|#include "predict/zorb.h"|pass'
  'app/main.cpp|#include "app/ui/frmMenu.h"|pass'
  'racing/up.cpp|#include "racecard/racetable.h"|fail'
  'predict/side.cpp|#include "host/keyactions.h"|fail'
  'host/x11/up.cpp|#include "predict/zorb.h"|fail'
  'racecard/ui/up.cpp|#include "predict/ui/frmAnalyzReport.h"|fail'
  'racecard/logic.cpp|#include "platform/ui/window.h"|fail'
  'cli/window.cpp|#include "racecard/ui/frmDataList.h"|fail'
  'timerank/talks.cpp|void f() { platform::dialogs().information(QString()); }|fail'
  'common/ends.cpp|void f() { platform::fatal(QString()); }|fail'
  'files/shows.cpp|void f() { platform::ShowMessages(m); }|fail'
  'files/says.cpp|void f() { platform::ShowMessages(m, user); }|pass'
  'shell/old.cpp|int x;|fail'
)

passed=0 failed=0
for c in "${cases[@]}"; do
  IFS='|' read -r file text want <<<"$c"
  rm -rf "$work/src" && mkdir -p "$work/src/common" "$work/src/platform"
  echo '#include "platform/textfile.h"' >"$work/src/common/base.cpp"
  mkdir -p "$work/src/$(dirname "$file")" && echo "$text" >"$work/src/$file"
  if bash "$CHECK" "$work/src" >"$work/out" 2>&1; then got=pass; else got=fail; fi
  if [ "$got" = "$want" ]; then
    passed=$((passed + 1))
  else
    failed=$((failed + 1))
    echo "FAIL: $file ($text): expected $want, got $got"; cat "$work/out"
  fi
done
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
