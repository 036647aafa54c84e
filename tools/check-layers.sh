#!/usr/bin/env bash
# Checks the layering of the source tree: the engine uses no Qt and nothing of the desktop
# program, operating-system headers appear only in the platform folders, and inside each tree
# a folder includes only from the folders below it (the orders below, lowest first).
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

engine_order=(platform tables text settings snapshot log monitor)
desktop_order=(platform appearance models dialogs tray log_window about main_window app)
os_headers='<(unistd|fcntl|dirent|signal|syslog|pwd|grp|poll|sched|pthread)\.h>|<(sys|linux|xcb|X11|asm)/|<windows\.h>|<winbase\.h>'

failures=0
fail() {
    echo "$1"
    failures=$((failures + 1))
}

rank_of() { # rank_of NAME ORDER...
    local name=$1 rank=0
    shift
    for folder in "$@"; do
        [[ $folder == "$name" ]] && {
            echo $rank
            return
        }
        rank=$((rank + 1))
    done
    echo -1
}

check_tree() { # check_tree TREE ORDER...
    local tree=$1
    shift
    local file folder include target rank target_rank
    while IFS= read -r file; do
        folder=${file#"$tree"/}
        [[ $folder == */* ]] || continue # files at the top of a tree, such as the version
        folder=${folder%%/*}
        rank=$(rank_of "$folder" "$@")
        [[ $rank -ge 0 ]] || fail "$file: folder '$folder' has no place in the $tree layer order"
        while IFS= read -r include; do
            [[ $include == "$tree"/* ]] || continue
            target=${include#"$tree"/}
            target=${target%%/*}
            target_rank=$(rank_of "$target" "$@")
            if [[ $target_rank -gt $rank ]]; then
                fail "$file includes $include from the higher folder $tree/$target"
            fi
        done < <(sed -n 's/^#include "\([^"]*\)".*/\1/p' "$file")
        if [[ $folder != platform ]] && grep -Eq "^#include $os_headers" "$file"; then
            fail "$file includes an operating-system header outside $tree/platform"
        fi
    done < <(git ls-files "$tree/*.h" "$tree/*.cpp" "$tree/*.h.in")
}

check_tree engine "${engine_order[@]}"
check_tree desktop "${desktop_order[@]}"

while IFS= read -r file; do
    if grep -Eq '^#include (<Q|"desktop/)' "$file"; then
        fail "$file: the engine includes Qt or the desktop program"
    fi
done < <(git ls-files 'engine/*.h' 'engine/*.cpp')

if [[ $failures -gt 0 ]]; then
    echo "$failures layering problem(s)"
    exit 1
fi
echo "layers: engine and desktop folders include downwards only; OS headers only in platform folders"
