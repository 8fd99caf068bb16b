#!/usr/bin/env bash
# check_layers.sh on small trees: each case adds one file to a tree that passes
# and says whether the check must still pass, with an allow-list of window
# reads (empty unless the case gives its one line; \n in a text ends a line).
set -uo pipefail
CHECK="$(dirname "$0")/check_layers.sh"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# file | its text | expected result | allow-list
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
  'predict/ui/own.cpp|void frmA::f() { cmdRace(1)->setEnabled(true); this->cmdPlace(0); m_race[1]->text(); }|pass'
  'predict/ui/reads.cpp|void frmA::f() { n += m_list->cmdRace(r)->isEnabled() ? 1 : 0; }|fail'
  'predict/ui/clicks.cpp|void frmA::f()\n{\n    m_list->cmdPlace_Click(p);\n}|fail'
  'predict/ui/text.cpp|QString frmA::f(frmB &b) { return b.txtCode()->text(); }|fail'
  'predict/ui/engine.cpp|int frmA::f()\n{\n    auto *w = new racecard::ui::frmDataList(nullptr, c);\n    w->show();\n    const int n = Count(w->model());\n    w->closeUnchanged();\n    return n;\n}|fail'
  'predict/ui/stack.cpp|int frmA::f()\n{\n    frmDataList list(nullptr);\n    return Count(list.model());\n}|fail'
  'timerank/ui/opens.cpp|void frmA::f()\n{\n    auto *w = new frmTimeRank(this);\n    w->model().step();\n    w->show();\n}|pass'
  'predict/ui/reads.cpp|void frmA::f() { m_list->cmdRace(1); }|pass|predict/ui/reads.cpp frmA::f'
  'predict/ui/reads.cpp|void frmA::g() { m_list->cmdRace(1); }|fail|predict/ui/reads.cpp frmA::f'
  'predict/ui/ok.cpp|void frmA::f() { cmdRace(1); }|fail|predict/ui/gone.cpp frmA::f'
)

passed=0 failed=0
for c in "${cases[@]}"; do
  IFS='|' read -r file text want allow <<<"$c"
  rm -rf "$work/src" && mkdir -p "$work/src/common" "$work/src/platform"
  echo '#include "platform/textfile.h"' >"$work/src/common/base.cpp"
  mkdir -p "$work/src/$(dirname "$file")" && printf '%b\n' "$text" >"$work/src/$file"
  printf '%s\n' "$allow" >"$work/allow"
  if bash "$CHECK" "$work/src" "$work/allow" >"$work/out" 2>&1; then got=pass; else got=fail; fi
  if [ "$got" = "$want" ]; then
    passed=$((passed + 1))
  else
    failed=$((failed + 1))
    echo "FAIL: $file ($text): expected $want, got $got"; cat "$work/out"
  fi
done
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
