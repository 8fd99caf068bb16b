#!/usr/bin/env bash
# The shape of src/: every include points down the folder order, no logic file
# includes a window header, and only windows and korvin-cli speak to the user.
#   check_layers.sh SRC_DIR
# Prints each broken rule as "file:line: reason" and the folder graph; exits 1
# when a rule is broken or the graph has a cycle.
set -euo pipefail
SRC=${1:?src dir}
cd "$SRC"

# Folder order, bottom first; folders of one level may not include each other.
# cli may include any folder, but no window.
declare -A LEVEL=([platform]=0 [common]=1 [racing]=2 [racecard]=3 [timerank]=3
                  [predict]=4 [files]=4 [host]=4 [app]=5 [cli]=6)

errors=0
edges=$(mktemp)
trap 'rm -f "$edges"' EXIT
fail() { echo "$1"; errors=$((errors + 1)); }

while IFS= read -r -d '' file; do
    folder=${file%%/*}
    if [ -z "${LEVEL[$folder]+x}" ]; then
        fail "$file: folder '$folder' has no place in the order (tests/layering/check_layers.sh)"
        continue
    fi
    # Windows, and the GUI entry that starts them.
    ui=0
    case "/$file" in */ui/*) ui=1 ;; esac
    [ "$file" = app/main.cpp ] && ui=1
    while IFS=: read -r line target; do
        case "$target" in */*) ;; *) continue ;; esac # beside the file
        to=${target%%/*}
        if [ -z "${LEVEL[$to]+x}" ]; then
            fail "$file:$line: includes \"$target\" from no known folder"
            continue
        fi
        [ "$to" != "$folder" ] && echo "$folder $to" >>"$edges"
        case "/$target" in
            */ui/*) [ $ui = 1 ] || fail "$file:$line: a file outside ui/ includes the window header \"$target\"" ;;
        esac
        [ "$folder" = cli ] || [ "$to" = "$folder" ] || [ "${LEVEL[$to]}" -lt "${LEVEL[$folder]}" ] ||
            fail "$file:$line: \"$target\" is not below $folder (the folders include downwards only)"
    done < <(awk '/^[ \t]*#[ \t]*include[ \t]*"/ { split($0, q, "\""); print FNR ":" q[2] }' "$file")
    # Only windows and korvin-cli speak to the user; the dialogs service is theirs.
    if [ $ui = 0 ] && [ "$folder" != cli ] && [ "${file%.*}" != platform/dialogs ] && [ "${file%.*}" != platform/messages ]; then
        while IFS=: read -r line text; do
            fail "$file:$line: logic speaks to the user itself: $text"
        done < <(grep -nE '\bdialogs\(\)|\bfatal\(|\bShowMessages\([^,]*$' "$file" | grep -vE '^[0-9]+:[[:space:]]*//' || true)
    fi
done < <(find . -type f \( -name '*.h' -o -name '*.cpp' \) -printf '%P\0' | sort -z)

echo "folder graph (includer -> included):"
sort -u "$edges" | awk '{ a[$1] = a[$1] " " $2 } END { for (k in a) print "  " k " ->" a[k] }' | sort
# tsort names a loop when the graph has one.
if ! sort -u "$edges" | tsort >/dev/null 2>"$edges.err"; then
    fail "the folder graph has a cycle: $(tr '\n' ' ' <"$edges.err")"
fi
rm -f "$edges.err"
if [ $errors -gt 0 ]; then
    echo "$errors broken rule(s)"
    exit 1
fi
echo "layering ok"
