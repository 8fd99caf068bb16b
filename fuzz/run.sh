#!/usr/bin/env bash
# Runs the fuzz targets of a build configured with -DKORVIN_FUZZ=ON.
#   run.sh smoke BUILD/fuzz [TARGET...]    every seed, then seeded mutations for at most
#                                          3000 runs or 5 seconds each: ctest's check
#   run.sh SECONDS BUILD/fuzz [TARGET...]  each target SECONDS long, two at a time; the
#                                          corpus grows in BUILD/fuzz/work/corpus/NAME
# Crashing inputs are kept in BUILD/fuzz/work/crashes/NAME; the executions of each
# target are printed at the end.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
mode=${1:?usage: run.sh smoke|SECONDS BUILD/fuzz [TARGET...]}
bin=${2:?usage: run.sh smoke|SECONDS BUILD/fuzz [TARGET...]}
shift 2
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  for f in "$bin"/fuzz_*; do [ -f "$f" ] && [ -x "$f" ] && targets+=("$(basename "$f")"); done
fi
[ ${#targets[@]} -gt 0 ] || { echo "no fuzz targets in $bin" >&2; exit 2; }
work=$bin/work
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:allocator_may_return_null=1}
export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$here/../tests/sanitizers/lsan.supp:print_suppressions=0}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}

# run_one NAME: the target's run; its log in work/logs/NAME.log.
run_one() {
  local name=$1 short=${1#fuzz_}
  local corpus=$work/corpus/$short crashes=$work/crashes/$short log=$work/logs/$name.log
  mkdir -p "$crashes" "$work/logs"
  local args=(-dict="$here/dict/$short.dict" -artifact_prefix="$crashes/" -timeout=10 -rss_limit_mb=2560
              -print_final_stats=1)
  if [ "$mode" = smoke ]; then
    rm -rf "$corpus"
    args+=(-seed=1 -runs="${KORVIN_FUZZ_RUNS:-3000}" -max_total_time="${KORVIN_FUZZ_SMOKE_SECONDS:-5}")
  else
    args+=(-max_total_time="$mode")
  fi
  mkdir -p "$corpus"
  "$bin/$name" "${args[@]}" "$corpus" "$here/corpus/$short" >"$log" 2>&1
  local rc=$?
  local runs
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
  if [ $rc -ne 0 ]; then
    echo "$name: FAILED after ${runs:-?} executions (exit $rc); log $log" >&2
    grep -E 'ERROR|SUMMARY|invariant broken|Test unit written' "$log" | head -n 20 >&2
    return 1
  fi
  echo "$name: ${runs:-?} executions"
}

status=0
if [ "$mode" = smoke ]; then
  for t in "${targets[@]}"; do run_one "$t" || status=1; done
else
  # Two at a time: the machine's cores are shared.
  pids=()
  for t in "${targets[@]}"; do
    run_one "$t" &
    pids+=($!)
    if [ ${#pids[@]} -ge 2 ]; then
      wait "${pids[0]}" || status=1
      pids=("${pids[@]:1}")
    fi
  done
  for p in "${pids[@]}"; do wait "$p" || status=1; done
fi
exit $status
