#!/usr/bin/env bash
# Fails when a C++ file under src/ tests/ tools/ bench/ fuzz/ is not as clang-format
# (with the .clang-format of the tree) would write it.
#   check_format.sh SOURCE_DIR
set -uo pipefail
cd "${1:?source dir}"
CLANG_FORMAT=${CLANG_FORMAT:-clang-format}
command -v "$CLANG_FORMAT" >/dev/null || { echo "$CLANG_FORMAT missing (./dev installs it)"; exit 1; }
checked=0 bad=0
while IFS= read -r -d '' f; do
  checked=$((checked + 1))
  if ! "$CLANG_FORMAT" --dry-run --Werror "$f" >/dev/null 2>&1; then
    echo "not formatted: $f (clang-format -i $f)"
    bad=$((bad + 1))
  fi
done < <(find src tests tools bench fuzz -type f \( -name '*.cpp' -o -name '*.h' \) -print0 2>/dev/null | sort -z)
echo "$checked files checked, $bad not formatted"
[ "$checked" -gt 0 ] && [ "$bad" -eq 0 ]
