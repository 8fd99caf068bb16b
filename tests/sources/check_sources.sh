#!/usr/bin/env bash
# Every C++ source file of src/, tests/ and tools/ is built by a target of this
# build: the CMakeLists name their files one by one, and a file left out of
# its list would otherwise be silently not built (a test file: its tests never run).
#   check_sources.sh SOURCE_DIR BUILD_DIR [EXCLUDE_REGEX...]
# Files whose path under SOURCE_DIR matches an EXCLUDE_REGEX are built elsewhere
# (the Win32 backend by its own project, the Windows-only tests).
set -euo pipefail
root=$(realpath "${1:?source dir}")
db=${2:?build dir}/compile_commands.json
shift 2
[ -f "$db" ] || { echo "$db missing (CMAKE_EXPORT_COMPILE_COMMANDS)"; exit 1; }
built=$(grep -o '"file": "[^"]*"' "$db" | sed 's/^"file": "//; s/"$//' | sort -u)
missing=0
while IFS= read -r f; do
    rel=${f#"$root"/}
    for re in "$@"; do
        [[ $rel =~ $re ]] && continue 2
    done
    if ! grep -qxF "$f" <<<"$built"; then
        echo "$rel: no target builds it (add it to the list of its CMakeLists.txt)"
        missing=$((missing + 1))
    fi
done < <(find "$root/src" "$root/tests" "$root/tools" -name '*.cpp' | sort)
[ $missing -eq 0 ] || { echo "$missing file(s) not built"; exit 1; }
echo "every source file is built"
