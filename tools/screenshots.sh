#!/usr/bin/env bash
# Retakes the screenshots in docs/ under Xvfb with a window manager (openbox) and a tray, at
# 1x and 2x scale: the main window with two watched folders, and the log window after a few
# cycles. Run from the repository after a build (build/trellisk).
#
#   tools/screenshots.sh [build-dir]
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${1:-$root/build}

if [[ ${TRELLISK_SCREENSHOT_SESSION:-} != 1 ]]; then
    for scale in 1 2; do
        TRELLISK_SCREENSHOT_SESSION=1 QT_SCALE_FACTOR=$scale TRELLISK_XVFB_SCREEN=1920x1200x24 \
            "$root/tests/run-under-xvfb.sh" --wm --trayer -- "$0" "$build"
    done
    exit 0
fi

scale=${QT_SCALE_FACTOR:-1}
suffix=
[[ $scale == 1 ]] || suffix="@${scale}x"
work=$(mktemp -d "${TMPDIR:-/tmp}/trellisk-shots.XXXXXX")
program_pid=
cleanup() {
    if [[ -n $program_pid ]]; then
        kill "$program_pid" 2>/dev/null || true
        wait "$program_pid" 2>/dev/null || true
    fi
    rm -rf "$work"
}
trap cleanup EXIT

# The first visible window titled exactly $1, waited for up to ten seconds.
find_window() {
    local found
    for _ in $(seq 100); do
        found=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n1 || true)
        if [[ -n $found ]]; then
            echo "$found"
            return 0
        fi
        sleep 0.1
    done
    echo "no window $1" >&2
    return 1
}

# The window's client area on the screen: sets X, Y, WIDTH and HEIGHT.
client_area() {
    local info
    info=$(xwininfo -id "$1")
    X=$(sed -n 's/.*Absolute upper-left X: *//p' <<<"$info")
    Y=$(sed -n 's/.*Absolute upper-left Y: *//p' <<<"$info")
    WIDTH=$(sed -n 's/.*Width: *//p' <<<"$info")
    HEIGHT=$(sed -n 's/.*Height: *//p' <<<"$info")
}

# The window with its frame, cut from a picture of the whole screen.
shoot() {
    local window=$1 file=$2 extents left right top bottom
    client_area "$window"
    extents=$(xprop -id "$window" _NET_FRAME_EXTENTS | sed -n 's/.*= //p' | tr -d ' ')
    IFS=, read -r left right top bottom <<<"${extents:-0,0,0,0}"
    import -window root -crop "$((WIDTH + left + right))x$((HEIGHT + top + bottom))+$((X - left))+$((Y - top))" \
        +repage "$file"
}

# A portable copy: the settings file beside the executable.
cp "$build/trellisk" "$work/"
mkdir -p "$work/home/documents/reports" "$work/home/photos"
for name in plan.txt budget.ods notes.md; do
    head -c 2000 /dev/urandom >"$work/home/documents/$name"
done
head -c 500 /dev/urandom >"$work/home/documents/reports/week.txt"
head -c 90000 /dev/urandom >"$work/home/photos/beach.jpg"
head -c 70000 /dev/urandom >"$work/home/photos/hills.jpg"
printf '[foldersv040]\r\n2\r\n%s/\r\nする\r\n0\r\n%s/\r\nしない\r\n0\r\n[interval]\r\n1\r\n' \
    "$work/home/documents" "$work/home/photos" >"$work/trellisk.ini"

"$work/trellisk" >"$work/trellisk.log" 2>&1 &
program_pid=$!
main=$(find_window '^Trellisk$')
sleep 1.5
shoot "$main" "$root/docs/main-window$suffix.png"

# モニター - 開始 from the main menu, clicked where the menu bar shows them.
client_area "$main"
xdotool mousemove --sync $((X + 20 * scale)) $((Y + 10 * scale)) click 1
sleep 0.5
xdotool mousemove --sync $((X + 30 * scale)) $((Y + 32 * scale)) click 1
log=$(find_window '^Trellisk\(ログ\)$')
sleep 2

# Changes for the cycles to find: an update, a new file, a deletion and a rename.
head -c 3000 /dev/urandom >>"$work/home/documents/plan.txt"
head -c 1200 /dev/urandom >"$work/home/documents/reports/month.txt"
rm "$work/home/documents/notes.md"
mv "$work/home/photos/hills.jpg" "$work/home/photos/mountains.jpg"
sleep 3
head -c 4000 /dev/urandom >>"$work/home/documents/plan.txt"
sleep 3
shoot "$log" "$root/docs/log-window$suffix.png"
