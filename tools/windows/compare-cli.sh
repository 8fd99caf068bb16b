#!/usr/bin/env bash
# korvin-cli.exe under Wine against the Linux korvin-cli on the same demo day:
# the bytes each prints (and the files split, predict and comments write) must
# be identical. Paths printed differ only in their separators, and only there
# are "\" read as "/".
# Usage: compare-cli.sh LINUX_BUILD_DIR WINDOWS_BUILD_DIR WORK_DIR
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
lin=${1:?Linux build folder}
win=${2:?Windows build folder}
work=${3:?work folder}
rm -rf "$work" && mkdir -p "$work"
"$lin/tools/demodata/korvin-demodata" --out "$work/day" >/dev/null
csv=$(cd "$work/day" && ls DenCSV/DC*.csv | head -n 1)
key=$(cut -c1-8 "$work/day/$csv" | sort -u | grep '11$' | head -n 1)
mapfile -t courses < <(cut -c1-2 "$work/day/$csv" | sort -u)
# The stand-in's exports of a time-rank run of three races and a comment run of one.
"$lin/korvin-cli" --home "$work/day" script timerank --kind 0 --repeat 3 --waits 0,0,0 |
  "$lin/tools/hostsim/korvin-hostsim" --home "$work/day" --play - >/dev/null
"$lin/korvin-cli" --home "$work/day" script comments --repeat 1 --waits 0,0,0 |
  "$lin/tools/hostsim/korvin-hostsim" --home "$work/day" --list results --race 1 --play - >/dev/null
cp -r "$work/day" "$work/linux" && mv "$work/day" "$work/windows"
wcli=$win/korvin-cli.exe

failed=0
# same NAME [path] [stderr] ARGS...: runs both in their copy of the day and
# compares what they print on stdout (stderr: on stderr); "path" reads "\" as "/".
same() {
  local name=$1 path=no stream=1
  shift
  if [ "$1" = path ]; then path=yes; shift; fi
  if [ "$1" = stderr ]; then stream=2; shift; fi
  if [ $stream = 1 ]; then
    (cd "$work/linux" && "$lin/korvin-cli" --home . "$@") >"$work/$name.linux" 2>/dev/null || true
    (cd "$work/windows" && "$here/wine-run.sh" "$wcli" --home . "$@") >"$work/$name.windows" 2>/dev/null || true
  else
    (cd "$work/linux" && "$lin/korvin-cli" --home . "$@") 2>"$work/$name.linux" >/dev/null || true
    (cd "$work/windows" && "$here/wine-run.sh" "$wcli" --home . "$@") 2>"$work/$name.windows" >/dev/null || true
  fi
  if [ $path = yes ]; then sed -i 's|\\|/|g' "$work/$name.windows" "$work/$name.linux"; fi
  if [ -s "$work/$name.linux" ] && cmp -s "$work/$name.linux" "$work/$name.windows"; then
    echo "same: $name ($(wc -c <"$work/$name.linux") bytes)"
  else
    echo "DIFFERENT: $name (see $work/$name.linux and .windows)"
    failed=1
  fi
}
# file NAME PATH: the file both wrote.
file() {
  if [ -s "$work/linux/$2" ] && cmp -s "$work/linux/$2" "$work/windows/$2"; then
    echo "same: $1 ($2, $(wc -c <"$work/linux/$2") bytes)"
  else
    echo "DIFFERENT: $1 ($2)"
    failed=1
  fi
}
same datalist datalist "$csv" "$key"
same verify verify "$csv" "${courses[@]}"
mkdir -p "$work/linux/out" "$work/windows/out"
same split path split TimeRank/TimeRank.txt --kind 0 --out out/
tr=$(cd "$work/linux" && ls out/TRa*.txt | head -n 1)
file split-file "$tr"
same trlist trlist "$tr"
same timerank timerank "$tr" --kind 0 --race 1
same predict path stderr predict "$tr" --kind 0 --out out/Zorb.txt
file predict-file out/Zorb.txt
same comments path comments MData/Comment.txt --mdata out/
file comments-file "$(cd "$work/linux/out" && ls MS*.dat | head -n 1 | sed 's|^|out/|')"
exit $failed
