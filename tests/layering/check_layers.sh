#!/usr/bin/env bash
# The shape of src/: every include points down the folder order, no logic file
# includes a window header, and only windows and korvin-cli speak to the user.
#   check_layers.sh SRC_DIR
# No window computes a result by working another window: it neither reads
# nor clicks another window's controls (m_list->cmdRace(r), list.txtCode()),
# nor opens a window, reads its model and closes it again in one function
# (the window as the engine of a computation). The logic computes; a window
# shows. Findings that are still being removed are listed, one "FILE
# FUNCTION" a line, in the allow-list (default window_reads.allow beside this
# script); an entry that no longer matches anything is an error too, so that
# the list only shrinks.
#   check_layers.sh SRC_DIR [ALLOW_LIST]
# Prints each broken rule as "file:line: reason" and the folder graph; exits 1
# when a rule is broken or the graph has a cycle.
set -euo pipefail
ALLOW=${2:-$(cd "$(dirname "$0")" && pwd)/window_reads.allow}
SRC=${1:?src dir}
cd "$SRC"

# Folder order, bottom first; folders of one level may not include each other.
# cli may include any folder, but no window.
declare -A LEVEL=([platform]=0 [common]=1 [racing]=2 [racecard]=3 [timerank]=3
                  [predict]=4 [files]=4 [host]=4 [app]=5 [cli]=6)

errors=0
edges=$(mktemp)
used=$(mktemp)
trap 'rm -f "$edges" "$used"' EXIT
fail() { echo "$1"; errors=$((errors + 1)); }

# "FILE FUNCTION" lines of the allow-list (# starts a comment).
allowed=$(sed -e 's/#.*//' -e 's/[[:space:]]*$//' -e '/^[[:space:]]*$/d' "$ALLOW")
allows() { grep -qxF "$1" <<<"$allowed"; }

# A window's reads of other windows: "LINE<TAB>FUNCTION<TAB>REASON" for each.
# Functions are defined from column 0 (clang-format); a control of a window
# is named by its kind: cmd, txt, lbl, chk, opt, lst, cbo, grd.
window_reads() {
    awk '
    function report(line, what) { printf "%d\t%s\t%s\n", line, fn, what }
    function flush(   v) {
        for (v in made)
            if (model[v] && closed[v])
                report(madeAt[v], "opens the window " made[v] " as " v ", reads its model and closes it: a window computing a result")
        split("", made); split("", madeAt); split("", model); split("", closed)
    }
    /^[A-Za-z_~][^;]*\(/ && !/;[ \t]*$/ && !/^(namespace|using|template|typedef|return)\b/ {
        flush()
        head = $0; sub(/\(.*/, "", head); n = split(head, w, /[ \t*&]+/); fn = w[n]
    }
    {
        line = $0
        sub(/\/\/.*/, "", line)
        rest = line
        while (match(rest, /[A-Za-z0-9_\]\)]+(->|\.)(cmd|txt|lbl|chk|opt|lst|cbo|grd)[A-Z][A-Za-z0-9_]*\(/)) {
            hit = substr(rest, RSTART, RLENGTH - 1)
            rest = substr(rest, RSTART + RLENGTH)
            if (hit !~ /^this(->|\.)/)
                report(FNR, "works another window'"'"'s control: " hit "(")
        }
        if (match(line, /[A-Za-z_][A-Za-z0-9_]*[ \t]*=[ \t]*new[ \t]+([A-Za-z_][A-Za-z0-9_]*::)*frm[A-Za-z0-9_]*[(]/)) {
            decl = substr(line, RSTART, RLENGTH)
            v = decl; sub(/[ \t]*=.*/, "", v)
            k = decl; sub(/.*new[ \t]+/, "", k); sub(/[(]$/, "", k)
            made[v] = k; madeAt[v] = FNR
        } else if (match(line, /(^|[ \t(])([A-Za-z_][A-Za-z0-9_]*::)*frm[A-Za-z0-9_]*[ \t]+[A-Za-z_][A-Za-z0-9_]*[ \t]*[({]/)) {
            # A window on the stack closes with the function.
            decl = substr(line, RSTART, RLENGTH)
            sub(/^[ \t(]/, "", decl); sub(/[ \t]*[({]$/, "", decl)
            split(decl, parts, /[ \t]+/)
            made[parts[2]] = parts[1]; madeAt[parts[2]] = FNR; closed[parts[2]] = 1
        }
        for (v in made) {
            if (index(line, v "->model(") || index(line, v ".model(")) model[v] = 1
            if (line ~ ("(^|[^A-Za-z0-9_])" v "(->|[.])close[A-Za-z]*[(]")) closed[v] = 1
        }
    }
    END { flush() }' "$1"
}

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
    # A window works only its own controls and computes through the logic.
    if [ $ui = 1 ]; then
        while IFS=$'\t' read -r line fn what; do
            if allows "$file $fn"; then
                echo "$file $fn" >>"$used"
            else
                fail "$file:$line: in $fn: $what"
            fi
        done < <(window_reads "$file")
    fi
done < <(find . -type f \( -name '*.h' -o -name '*.cpp' \) -printf '%P\0' | sort -z)

# An allowed finding that is gone leaves the list.
while IFS= read -r entry; do
    [ -n "$entry" ] || continue
    grep -qxF "$entry" "$used" || fail "$ALLOW: \"$entry\" no longer reads another window: remove it from the list"
done <<<"$allowed"

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
